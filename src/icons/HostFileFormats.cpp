#include "icons/HostFileFormats.h"

#include <cwchar>
#include <string>

const wchar_t kHostFileFormats[] = L"|bfprt|prt|bfasm|asm|bfdrw|drw|mat|";

bool IsHostFileFormat(const wchar_t* extension) {
    const std::wstring bracketed = L"|" + std::wstring(extension ? extension : L"") + L"|";
    return std::wcsstr(kHostFileFormats, bracketed.c_str()) != nullptr;
}
