#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>
#include "settings/FormatDate.h"

namespace {

double Date(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0, WORD second = 0) {
    SYSTEMTIME st{year, month, 0, day, hour, minute, second, 0};
    double date = 0;
    EXPECT_TRUE(::SystemTimeToVariantTime(&st, &date));
    return date;
}

TEST(FormatDate, EachFormatHasItsFixedLayoutAndUnconvertibleDatesPrintMinusOneFields) {
    const double example = 32104.6152314815;  // 23 November 1987 14:45:56
    const wchar_t* fallback = L"23 November 1987 14:45:56:000";
    const double d999 = Date(999, 3, 4, 5, 6, 7);
    const double unconvertible = -657435.0;  // the day before year 100
    const auto At = [](WORD hour, WORD minute = 0, WORD second = 0) {
        return Date(1987, 11, 23, hour, minute, second);
    };
    const struct { double date; DWORD fmt; const wchar_t* text; } rows[] = {
        {example, 0, L"Nov 23 1987 02:45 PM"}, {example, 100, L"Nov 23 1987 02:45 PM"},
        {example, 1, L"11/23/87 14:45:56"}, {example, 2, L"87.11.23 14:45:56"}, {example, 3, L"23/11/87 14:45:56"},
        {example, 4, L"23.11.87 14:45:56"}, {example, 5, L"23-11-87 14:45:56"}, {example, 6, L"23 Nov 87 14:45:56"},
        {example, 7, L"Nov 23, 87 14:45:56"}, {example, 10, L"11-23-87 14:45:56"},
        {example, 11, L"87/11/23 14:45:56"}, {example, 12, L"871123 14:45:56"},
        {example, 101, L"11/23/1987 14:45:56"}, {example, 102, L"1987.11.23 14:45:56"},
        {example, 103, L"23/11/1987 14:45:56"}, {example, 104, L"23.11.1987 14:45:56"},
        {example, 105, L"23-11-1987 14:45:56"}, {example, 106, L"23 Nov 1987 14:45:56"},
        {example, 107, L"Nov 23, 1987 14:45:56"}, {example, 109, L"Nov 23 1987 02:45:56:000 PM"},
        {example, 110, L"11-23-1987 14:45:56"}, {example, 111, L"1987/11/23 14:45:56"},
        {example, 112, L"19871123 14:45:56"}, {example, 113, fallback}, {example, 120, L"1987-11-23 14:45:56"},
        {example, 121, L"1987-11-23 14:45:56.000"}, {example, 8, fallback}, {example, 99, fallback},
        {example, 108, fallback}, {example, 0xFFFFFFFF, fallback},
        // Hours 0 to 12 keep their number and "AM"; only 13 to 23 become "PM".
        {At(12, 30, 7), 0, L"Nov 23 1987 12:30 AM"}, {At(0, 5), 0, L"Nov 23 1987 00:05 AM"},
        {At(13), 0, L"Nov 23 1987 01:00 PM"}, {At(12, 30, 7), 109, L"Nov 23 1987 12:30:07:000 AM"},
        {At(13, 0, 7), 109, L"Nov 23 1987 01:00:07:000 PM"}, {At(0, 5, 9), 103, L"23/11/1987 00:05:09"},
        {d999, 101, L"03/04/0999 05:06:07"},
        {d999, 1, L"03/04/99 05:06:07"}, {Date(2005, 1, 2, 3, 4, 5), 1, L"01/02/05 03:04:05"},
        {0.0, 0, L"false: before"}, {-0.0, 103, L"false: before"},
        // Every numeric field prints -1 (as its width asks), the suffix is "AM", month names are empty.
        {unconvertible, 0, L" -1 -001 -1:-1 AM"}, {unconvertible, 1, L"-1/-1/-1 -1:-1:-1"},
        {unconvertible, 6, L"-1  -1 -1:-1:-1"}, {unconvertible, 113, L"-1  -001 -1:-1:-1:000"}};
    for (const auto& row : rows) {
        Str text;
        text.Format(L"%ls", L"before");
        const bool formatted = FormatDate(text, row.date, row.fmt);
        EXPECT_EQ((formatted ? L"" : L"false: ") + text.Text(), row.text) << "format " << row.fmt << " of " << row.date;
    }
    EXPECT_EQ(MonthAbbreviation(unconvertible) + MonthName(unconvertible), L"");
    EXPECT_EQ(TwoDigitYear(unconvertible), -1);
    const wchar_t* full[] = {L"January", L"February", L"March", L"April", L"May", L"June", L"July", L"August",
                             L"September", L"October", L"November", L"December"};
    for (WORD month = 1; month <= 12; ++month)
        EXPECT_EQ(MonthName(Date(2001, month, 15)) + MonthAbbreviation(Date(2001, month, 15)),
                  full[month - 1] + std::wstring(full[month - 1], 3));
}

}  // namespace
