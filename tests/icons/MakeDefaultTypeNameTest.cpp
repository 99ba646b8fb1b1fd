// Names of file types that have no registered name of their own.
#include <gtest/gtest.h>
#include "icons/MakeDefaultTypeName.h"

namespace {

struct NameCase {
    const wchar_t* extension;
    const wchar_t* expected;
};

class DefaultTypeName : public ::testing::TestWithParam<NameCase> {};

TEST_P(DefaultTypeName, IsTheUpperCasedExtensionFollowedByFile) {
    EXPECT_EQ(MakeDefaultTypeName(GetParam().extension), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Extensions, DefaultTypeName,
                         ::testing::Values(NameCase{L"xyz", L"XYZ File"}, NameCase{L"Xyz", L"XYZ File"},
                                           NameCase{L"BFPRT", L"BFPRT File"}, NameCase{L"tar.gz", L"TAR.GZ File"},
                                           NameCase{L"", L"File"}, NameCase{nullptr, L"File"}));

}  // namespace
