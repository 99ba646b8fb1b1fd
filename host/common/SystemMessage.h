#pragma once
// The system's own wording for an error code, for the host's one-line error reports.
#include <windows.h>
#include <string>

// Without its closing full stop and line break; "system error N" when the system has none.
inline std::wstring SystemMessage(DWORD code) {
    wchar_t buffer[512] = {};
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                    buffer, ARRAYSIZE(buffer), nullptr);
    while (length > 0 && (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n' ||
                          buffer[length - 1] == L' ' || buffer[length - 1] == L'.'))
        --length;
    if (length == 0)
        return L"system error " + std::to_wstring(code);
    return std::wstring(buffer, length);
}
