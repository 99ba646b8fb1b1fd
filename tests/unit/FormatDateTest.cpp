#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>
#include <cstdio>
#include <ostream>
#include <string>
#include "settings/FormatDate.h"

namespace {

// 23 November 1987 14:45:56.
constexpr double kExample = 32104.6152314815;

double Date(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME st = {};
    st.wYear = year;
    st.wMonth = month;
    st.wDay = day;
    st.wHour = hour;
    st.wMinute = minute;
    st.wSecond = second;
    double date = 0;
    EXPECT_TRUE(::SystemTimeToVariantTime(&st, &date));
    return date;
}

std::wstring Formatted(double date, DWORD dateFmt) {
    Str text;
    EXPECT_TRUE(FormatDate(text, date, dateFmt)) << "format " << dateFmt;
    return text.Text();
}

struct Row {
    DWORD dateFmt;
    const wchar_t* expected;
};

void PrintTo(const Row& r, std::ostream* os) { *os << "format " << r.dateFmt; }

std::string FormatName(DWORD dateFmt) { return "Format" + std::to_string(dateFmt); }

class EveryFormatOfTheExampleDate : public ::testing::TestWithParam<Row> {};

TEST_P(EveryFormatOfTheExampleDate, PrintsItsFixedLayout) {
    EXPECT_EQ(Formatted(kExample, GetParam().dateFmt), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(FormatDate, EveryFormatOfTheExampleDate, ::testing::Values(
    Row{0, L"Nov 23 1987 02:45 PM"},
    Row{100, L"Nov 23 1987 02:45 PM"},
    Row{1, L"11/23/87 14:45:56"},
    Row{2, L"87.11.23 14:45:56"},
    Row{3, L"23/11/87 14:45:56"},
    Row{4, L"23.11.87 14:45:56"},
    Row{5, L"23-11-87 14:45:56"},
    Row{6, L"23 Nov 87 14:45:56"},
    Row{7, L"Nov 23, 87 14:45:56"},
    Row{10, L"11-23-87 14:45:56"},
    Row{11, L"87/11/23 14:45:56"},
    Row{12, L"871123 14:45:56"},
    Row{101, L"11/23/1987 14:45:56"},
    Row{102, L"1987.11.23 14:45:56"},
    Row{103, L"23/11/1987 14:45:56"},
    Row{104, L"23.11.1987 14:45:56"},
    Row{105, L"23-11-1987 14:45:56"},
    Row{106, L"23 Nov 1987 14:45:56"},
    Row{107, L"Nov 23, 1987 14:45:56"},
    Row{109, L"Nov 23 1987 02:45:56:000 PM"},
    Row{110, L"11-23-1987 14:45:56"},
    Row{111, L"1987/11/23 14:45:56"},
    Row{112, L"19871123 14:45:56"},
    Row{113, L"23 November 1987 14:45:56:000"},
    Row{120, L"1987-11-23 14:45:56"},
    Row{121, L"1987-11-23 14:45:56.000"}),
    [](const ::testing::TestParamInfo<Row>& info) { return FormatName(info.param.dateFmt); });

class UnknownFormatNumbers : public ::testing::TestWithParam<DWORD> {};

TEST_P(UnknownFormatNumbers, TakeTheDefaultRow) {
    EXPECT_EQ(Formatted(kExample, GetParam()), L"23 November 1987 14:45:56:000");
}

INSTANTIATE_TEST_SUITE_P(FormatDate, UnknownFormatNumbers,
                         ::testing::Values(8u, 9u, 13u, 20u, 21u, 99u, 108u, 114u, 119u, 122u, 4000000000u,
                                           0xFFFFFFFFu),
                         [](const ::testing::TestParamInfo<DWORD>& info) { return FormatName(info.param); });

struct HourRow {
    WORD hour;
    WORD minute;
    DWORD dateFmt;
    const wchar_t* expected;
};

std::string ClockTime(const HourRow& r) {
    char text[8];
    std::snprintf(text, sizeof(text), "%02u%02u", r.hour, r.minute);
    return text;
}

void PrintTo(const HourRow& r, std::ostream* os) { *os << "format " << r.dateFmt << " at " << ClockTime(r); }

class TwelveHourClock : public ::testing::TestWithParam<HourRow> {};

// Hours 0 to 12 keep their number and "AM"; only 13 to 23 become "PM".
TEST_P(TwelveHourClock, KeepsHoursUpToTwelveAsAM) {
    const HourRow& r = GetParam();
    EXPECT_EQ(Formatted(Date(1987, 11, 23, r.hour, r.minute, 7), r.dateFmt), r.expected);
}

INSTANTIATE_TEST_SUITE_P(FormatDate, TwelveHourClock, ::testing::Values(
    HourRow{12, 30, 0, L"Nov 23 1987 12:30 AM"},
    HourRow{0, 5, 0, L"Nov 23 1987 00:05 AM"},
    HourRow{13, 0, 0, L"Nov 23 1987 01:00 PM"},
    HourRow{23, 59, 0, L"Nov 23 1987 11:59 PM"},
    HourRow{12, 30, 109, L"Nov 23 1987 12:30:07:000 AM"},
    HourRow{0, 5, 109, L"Nov 23 1987 00:05:07:000 AM"},
    HourRow{13, 0, 109, L"Nov 23 1987 01:00:07:000 PM"}),
    [](const ::testing::TestParamInfo<HourRow>& info) {
        const HourRow& r = info.param;
        return FormatName(r.dateFmt) + "At" + ClockTime(r);
    });

TEST(FormatDate, AppendedTimeUsesTheTwentyFourHourClock) {
    EXPECT_EQ(Formatted(Date(1987, 11, 23, 0, 5, 9), 103), L"23/11/1987 00:05:09");
    EXPECT_EQ(Formatted(Date(1987, 11, 23, 23, 1, 2), 1), L"11/23/87 23:01:02");
}

TEST(FormatDate, YearsBelowOneThousandKeepLeadingZeros) {
    const double date = Date(999, 3, 4, 5, 6, 7);
    EXPECT_EQ(Formatted(date, 101), L"03/04/0999 05:06:07");
    EXPECT_EQ(Formatted(date, 120), L"0999-03-04 05:06:07");
    EXPECT_EQ(Formatted(date, 113), L"04 March 0999 05:06:07:000");
    EXPECT_EQ(Formatted(date, 1), L"03/04/99 05:06:07");
}

TEST(FormatDate, TwoDigitYearKeepsItsLeadingZero) {
    const double date = Date(2005, 1, 2, 3, 4, 5);
    EXPECT_EQ(TwoDigitYear(date), 5);
    EXPECT_EQ(Formatted(date, 1), L"01/02/05 03:04:05");
    EXPECT_EQ(Formatted(date, 12), L"050102 03:04:05");
}

TEST(FormatDate, DatesBeforeTheEpochFollowThePlatformConversion) {
    // The fraction of a negative automation date counts forward from its day.
    EXPECT_EQ(Formatted(-1.25, 120), L"1899-12-29 06:00:00");
    EXPECT_EQ(Formatted(-0.25, 120), L"1899-12-30 06:00:00");
}

TEST(FormatDate, NoDateAnswersFalseAndLeavesTheTextAlone) {
    Str text;
    text.Format(L"%ls", L"before");
    EXPECT_FALSE(FormatDate(text, 0.0, 0));
    EXPECT_FALSE(FormatDate(text, -0.0, 103));
    EXPECT_EQ(text.Text(), L"before");
}

TEST(FormatDate, ReplacesEarlierText) {
    Str text;
    text.Format(L"%ls", L"before");
    EXPECT_TRUE(FormatDate(text, kExample, 120));
    EXPECT_EQ(text.Text(), L"1987-11-23 14:45:56");
}

struct UnconvertibleRow {
    DWORD dateFmt;
    const wchar_t* expected;
};

class UnconvertibleDate : public ::testing::TestWithParam<double> {};

// Every numeric field prints -1 (as its width asks), the suffix is "AM", month names are empty.
TEST_P(UnconvertibleDate, PrintsMinusOneFieldsWithoutFailing) {
    const double date = GetParam();
    SYSTEMTIME st;
    ASSERT_FALSE(::VariantTimeToSystemTime(date, &st)) << "the platform converts " << date;
    const UnconvertibleRow rows[] = {
        {0, L" -1 -001 -1:-1 AM"},
        {109, L" -1 -001 -1:-1:-1:000 AM"},
        {1, L"-1/-1/-1 -1:-1:-1"},
        {6, L"-1  -1 -1:-1:-1"},
        {103, L"-1/-1/-001 -1:-1:-1"},
        {113, L"-1  -001 -1:-1:-1:000"},
        {121, L"-001--1--1 -1:-1:-1.000"},
    };
    for (const UnconvertibleRow& r : rows)
        EXPECT_EQ(Formatted(date, r.dateFmt), r.expected) << "format " << r.dateFmt;
    EXPECT_EQ(MonthAbbreviation(date), L"");
    EXPECT_EQ(MonthName(date), L"");
    EXPECT_EQ(TwoDigitYear(date), -1);
}

std::string UnconvertibleName(const ::testing::TestParamInfo<double>& info) {
    static const char* const names[] = {"DayBeforeYear100", "PlusTenBillion", "MinusTenBillion"};
    return names[info.index];
}

INSTANTIATE_TEST_SUITE_P(FormatDate, UnconvertibleDate, ::testing::Values(-657435.0, 1e10, -1e10),
                         UnconvertibleName);

TEST(FormatDate, MonthHelpersNameEveryMonthInEnglish) {
    const wchar_t* full[] = {L"January", L"February", L"March", L"April", L"May", L"June", L"July",
                             L"August", L"September", L"October", L"November", L"December"};
    const wchar_t* abbreviated[] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                    L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
    for (WORD month = 1; month <= 12; ++month) {
        const double date = Date(2001, month, 15, 0, 0, 0);
        EXPECT_EQ(MonthName(date), full[month - 1]);
        EXPECT_EQ(MonthAbbreviation(date), abbreviated[month - 1]);
    }
}

TEST(FormatDate, TwoDigitYearOfTheExample) {
    EXPECT_EQ(TwoDigitYear(kExample), 87);
    EXPECT_EQ(TwoDigitYear(Date(2000, 1, 1, 0, 0, 0)), 0);
    EXPECT_EQ(TwoDigitYear(Date(100, 1, 1, 0, 0, 0)), 0);
}

}  // namespace
