#pragma once
// Display text of an automation date (days since 30 December 1899, the fraction being the
// time of day) in one of the vault's date formats.
#include <windows.h>
#include <string>
#include "settings/Str.h"

// Sets `text` to `date` in format `dateFmt` (0 when the vault stores none; unknown numbers take
// the "23 November 1987 14:45:56:000" form) and answers true. A date of exactly 0.0 means "no
// date": answers false and leaves `text` alone. Fields the platform cannot convert print as -1.
[[nodiscard]] bool FormatDate(Str& text, double date, DWORD dateFmt);

// "Jan" to "Dec"; empty when the date cannot be converted.
std::wstring MonthAbbreviation(double date);
// "January" to "December"; empty when the date cannot be converted.
std::wstring MonthName(double date);
// Year mod 100; -1 when the date cannot be converted.
int TwoDigitYear(double date);
