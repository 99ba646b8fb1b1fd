// Translated message texts take the path where they say "%s" and nothing else.
#include <gtest/gtest.h>

#include "export/ExportTexts.h"

namespace {

struct FormatCase {
    const char* name;
    const wchar_t* format;
    const wchar_t* expected;
};

const FormatCase kCases[] = {
    {"PathInQuotes", L"Could not open '%s'.", L"Could not open 'C:\\t.txt'."},
    {"EveryPlaceholder", L"%s and %s", L"C:\\t.txt and C:\\t.txt"},
    {"PercentPercentIsOnePercent", L"100%% of %s", L"100% of C:\\t.txt"},
    {"OtherSequencesStay", L"%d %ls %s", L"%d %ls C:\\t.txt"},
    {"TrailingPercentStays", L"%s %", L"C:\\t.txt %"},
    {"NoPlaceholder", L"Failed.", L"Failed."},
};

class MessageFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(MessageFormat, PutsThePathInPlace) {
    EXPECT_EQ(FormatWithString(GetParam().format, L"C:\\t.txt"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, MessageFormat, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

}  // namespace
