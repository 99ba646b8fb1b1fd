#include "settings/FormatDate.h"

#include <oleauto.h>

namespace {

struct MonthNames {
    wchar_t full[52];
    wchar_t abbreviation[4];
};

// Fixed English names: the display formats do not follow the user's language.
constexpr MonthNames kMonths[12] = {
    {L"January", L"Jan"}, {L"February", L"Feb"}, {L"March", L"Mar"},     {L"April", L"Apr"},
    {L"May", L"May"},     {L"June", L"Jun"},     {L"July", L"Jul"},      {L"August", L"Aug"},
    {L"September", L"Sep"}, {L"October", L"Oct"}, {L"November", L"Nov"}, {L"December", L"Dec"},
};

// Calendar fields of a date; every field is -1 when the platform cannot convert it.
struct Fields {
    int year = -1, month = -1, day = -1, hour = -1, minute = -1, second = -1;
};

Fields ToFields(double date) {
    Fields f;
    SYSTEMTIME st = {};
    if (!::VariantTimeToSystemTime(date, &st))
        return f;
    f.year = st.wYear;
    f.month = st.wMonth;
    f.day = st.wDay;
    f.hour = st.wHour;
    f.minute = st.wMinute;
    f.second = st.wSecond;
    return f;
}

const MonthNames* MonthOf(double date) {
    const int month = ToFields(date).month;
    return (month >= 1 && month <= 12) ? &kMonths[month - 1] : nullptr;
}

// Formats 0 and 109 keep hours 0 to 12 as they are with "AM", so noon to one o'clock reads
// "12:xx AM" and midnight "00:xx AM"; only 13 to 23 are shifted back with "PM". Vault users
// rely on this text as it has always been.
int Hour12(int hour) { return hour >= 13 ? hour - 12 : hour; }
const wchar_t* Suffix(int hour) { return hour >= 13 ? L"PM" : L"AM"; }

}  // namespace

std::wstring MonthAbbreviation(double date) {
    const MonthNames* m = MonthOf(date);
    return m ? m->abbreviation : L"";
}

std::wstring MonthName(double date) {
    const MonthNames* m = MonthOf(date);
    return m ? m->full : L"";
}

int TwoDigitYear(double date) {
    const int year = ToFields(date).year;
    return year < 0 ? -1 : year % 100;
}

bool FormatDate(Str& text, double date, DWORD dateFmt) {
    if (date == 0.0)
        return false;

    const Fields f = ToFields(date);
    const int yy = TwoDigitYear(date);
    const std::wstring monStr = MonthAbbreviation(date);
    const std::wstring monthStr = MonthName(date);
    const wchar_t* mon = monStr.c_str();
    const wchar_t* month = monthStr.c_str();

    bool withTime = true;
    switch (dateFmt) {
    case 0:
    case 100:
        text.Format(L"%ls %02d %04d %02d:%02d %ls", mon, f.day, f.year, Hour12(f.hour), f.minute, Suffix(f.hour));
        withTime = false;
        break;
    case 1:   text.Format(L"%02d/%02d/%02d", f.month, f.day, yy); break;
    case 2:   text.Format(L"%02d.%02d.%02d", yy, f.month, f.day); break;
    case 3:   text.Format(L"%02d/%02d/%02d", f.day, f.month, yy); break;
    case 4:   text.Format(L"%02d.%02d.%02d", f.day, f.month, yy); break;
    case 5:   text.Format(L"%02d-%02d-%02d", f.day, f.month, yy); break;
    case 6:   text.Format(L"%02d %ls %02d", f.day, mon, yy); break;
    case 7:   text.Format(L"%ls %02d, %02d", mon, f.day, yy); break;
    case 10:  text.Format(L"%02d-%02d-%02d", f.month, f.day, yy); break;
    case 11:  text.Format(L"%02d/%02d/%02d", yy, f.month, f.day); break;
    case 12:  text.Format(L"%02d%02d%02d", yy, f.month, f.day); break;
    case 101: text.Format(L"%02d/%02d/%04d", f.month, f.day, f.year); break;
    case 102: text.Format(L"%04d.%02d.%02d", f.year, f.month, f.day); break;
    case 103: text.Format(L"%02d/%02d/%04d", f.day, f.month, f.year); break;
    case 104: text.Format(L"%02d.%02d.%04d", f.day, f.month, f.year); break;
    case 105: text.Format(L"%02d-%02d-%04d", f.day, f.month, f.year); break;
    case 106: text.Format(L"%02d %ls %04d", f.day, mon, f.year); break;
    case 107: text.Format(L"%ls %02d, %04d", mon, f.day, f.year); break;
    case 109:
        text.Format(L"%ls %02d %04d %02d:%02d:%02d:000 %ls", mon, f.day, f.year, Hour12(f.hour), f.minute,
                    f.second, Suffix(f.hour));
        withTime = false;
        break;
    case 110: text.Format(L"%02d-%02d-%04d", f.month, f.day, f.year); break;
    case 111: text.Format(L"%04d/%02d/%02d", f.year, f.month, f.day); break;
    case 112: text.Format(L"%04d%02d%02d", f.year, f.month, f.day); break;
    case 120: text.Format(L"%04d-%02d-%02d", f.year, f.month, f.day); break;
    case 121:
        text.Format(L"%04d-%02d-%02d %02d:%02d:%02d.000", f.year, f.month, f.day, f.hour, f.minute, f.second);
        withTime = false;
        break;
    case 113:
    default:
        // Milliseconds are never taken from the date: the formats that show them print ":000".
        text.Format(L"%02d %ls %04d %02d:%02d:%02d:000", f.day, month, f.year, f.hour, f.minute, f.second);
        withTime = false;
        break;
    }

    if (withTime) {
        const std::wstring day = text.Text();
        text.Format(L"%ls %02d:%02d:%02d", day.c_str(), f.hour, f.minute, f.second);
    }
    return true;
}
