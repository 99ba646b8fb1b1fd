#include <gtest/gtest.h>
#include <string>
#include "settings/Str.h"

namespace {

TEST(Str, StartsEmpty) {
    Str s;
    EXPECT_EQ(s.Text(), L"");
    EXPECT_STREQ(s.c_str(), L"");
}

TEST(Str, FormatsIntegersWithWidthAndZeroPadding) {
    Str s;
    s.Format(L"%d|%02d|%04d|%02d|%04d", 7, 7, 987, 123, -1);
    EXPECT_EQ(s.Text(), L"7|07|0987|123|-001");
}

TEST(Str, ReadsStringArgumentsTheWindowsWay) {
    Str s;
    s.Format(L"[%s] [%ls] [%S] [%hs] [%s]", L"November", L"Dec", "January", "Feb", L"");
    EXPECT_EQ(s.Text(), L"[November] [Dec] [January] [Feb] []");
}

TEST(Str, FormatReplacesTheText) {
    Str s;
    s.Format(L"%ls", L"first text");
    s.Format(L"%d", 2);
    EXPECT_EQ(s.Text(), L"2");
    EXPECT_EQ(std::wstring(s.c_str()), L"2");
}

TEST(Str, GrowsForLongOutput) {
    const std::wstring longText(10000, L'x');
    Str s;
    s.Format(L"<%ls>%d", longText.c_str(), 42);
    EXPECT_EQ(s.Text(), L"<" + longText + L">42");
    EXPECT_EQ(s.Text().size(), 10004u);
}

TEST(Str, OutputExactlyFillingTheFirstBufferIsKeptWhole) {
    for (size_t n = 120; n < 136; ++n) {
        const std::wstring text(n, L'y');
        Str s;
        s.Format(L"%ls", text.c_str());
        EXPECT_EQ(s.Text(), text) << n;
    }
}

}  // namespace
