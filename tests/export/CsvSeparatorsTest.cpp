// Which separator the user's settings give, and what stands in for it inside values.
#include <gtest/gtest.h>

#include "ExportTestSupport.h"
#include "export/CsvSeparators.h"

namespace {

constexpr wchar_t kSwedishCsv[] = L"Microsoft Office Excel-fil med kommaavgr\u00e4nsade v\u00e4rden";

struct SeparatorCase {
    const char* name;
    const wchar_t* listSeparator;    // nullptr: no "sList"
    const wchar_t* csvClass;         // nullptr: ".csv" not registered
    const wchar_t* csvDescription;
    wchar_t separator;
    wchar_t replacement;
};

const SeparatorCase kCases[] = {
    {"ListSeparatorSemicolon", L";", nullptr, nullptr, L';', L':'},
    {"ListSeparatorComma", L",", nullptr, nullptr, L',', L':'},
    {"ListSeparatorColonIsReplacedBySemicolon", L":", nullptr, nullptr, L':', L';'},
    {"ListSeparatorVerticalBar", L"|", nullptr, nullptr, L'|', L':'},
    {"ListSeparatorOfSeveralCharactersUsesTheFirst", L"#;", nullptr, nullptr, L'#', L':'},
    {"ListSeparatorWinsOverTheCsvType", L",", L"LineageTest.CSV", kSwedishCsv, L',', L':'},
    {"SwedishCsvTypeGivesTab", nullptr, L"LineageTest.CSV", kSwedishCsv, L'\t', L' '},
    {"EmptyListSeparatorFallsToTheCsvType", L"", L"LineageTest.CSV", kSwedishCsv, L'\t', L' '},
    {"CsvTypeDescriptionIsMatchedWithExactCase", nullptr, L"LineageTest.CSV",
     L"microsoft office excel-fil med kommaavgr\u00e4nsade v\u00e4rden", L';', L':'},
    {"OtherCsvTypeDescriptionGivesTheDefault", nullptr, L"LineageTest.CSV", L"Microsoft Excel Comma Separated Values File",
     L';', L':'},
    {"CsvTypeWithoutDescriptionGivesTheDefault", nullptr, L"LineageTest.CSV", nullptr, L';', L':'},
    {"NothingSetGivesTheDefault", nullptr, nullptr, nullptr, L';', L':'},
};

class Separators : public ::testing::TestWithParam<SeparatorCase> {};

TEST_P(Separators, FollowTheUsersSettings) {
    const SeparatorCase& c = GetParam();
    SeparatorSettings settings;
    settings.ListSeparator(c.listSeparator);
    settings.CsvClass(c.csvClass, c.csvDescription);

    const CsvSeparators separators = GetCsvSeparators();
    EXPECT_EQ(separators.separator, c.separator);
    EXPECT_EQ(separators.replacement, c.replacement);
}

INSTANTIATE_TEST_SUITE_P(Settings, Separators, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SeparatorCase>& info) { return info.param.name; });

}  // namespace
