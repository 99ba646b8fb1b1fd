#include "export/CsvSeparators.h"

#include <string>

#include "settings/Registry.h"

namespace {

// Swedish Excel registers the comma-separated type under this description yet reads such
// files with tabs; matched with exact case as that installation writes it.
constexpr wchar_t kTabSeparatedDescription[] =
    L"Microsoft Office Excel-fil med kommaavgr\u00e4nsade v\u00e4rden";

bool ReadDefaultValue(HKEY parent, const wchar_t* subKey, std::wstring& text) {
    Registry key;
    return key.Open(parent, subKey, Registry::kRead, false) && key.GetString(nullptr, text);
}

bool ReadListSeparator(std::wstring& text) {
    Registry key;
    return key.Open(HKEY_CURRENT_USER, L"Control Panel\\International", Registry::kRead, false) &&
           key.GetString(L"sList", text);
}

bool CsvTypeIsTabSeparated() {
    std::wstring className;
    std::wstring description;
    return ReadDefaultValue(HKEY_CLASSES_ROOT, L".CSV", className) &&
           ReadDefaultValue(HKEY_CLASSES_ROOT, className.c_str(), description) &&
           description == kTabSeparatedDescription;
}

}  // namespace

CsvSeparators GetCsvSeparators() {
    std::wstring listSeparator;
    if (ReadListSeparator(listSeparator) && !listSeparator.empty()) {
        const wchar_t separator = listSeparator[0];
        return {separator, separator == L':' ? L';' : L':'};
    }
    if (CsvTypeIsTabSeparated()) return {L'\t', L' '};
    return {L';', L':'};
}

