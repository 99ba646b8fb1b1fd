#pragma once
// The field separator of exported lists, which follows the user's regional list separator,
// and the character that stands in for it inside values.

struct CsvSeparators {
    wchar_t separator;
    wchar_t replacement;
};

// Always answers a pair: the first character of the user's list separator ("sList"); else
// tab and space when the ".CSV" type is described as the Swedish Excel comma-separated type;
// else ";" and ":".
CsvSeparators GetCsvSeparators();
