#include "icons/MakeDefaultTypeName.h"

#include <windows.h>

std::wstring MakeDefaultTypeName(const wchar_t* extension) {
    if (!extension || !*extension)
        return L"File";
    std::wstring name(extension);
    // The user's locale decides upper case, as it does wherever the shell shows type names.
    ::CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    return name + L" File";
}
