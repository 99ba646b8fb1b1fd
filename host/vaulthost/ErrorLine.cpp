#include "ErrorLine.h"
#include "common/TextEncoding.h"
#include "base/ScopedHandle.h"

namespace {

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return ::GetConsoleMode(handle, &mode) != 0;
}

void WriteTo(HANDLE handle, const std::wstring& line) {
    if (IsConsole(handle)) {
        DWORD written = 0;
        ::WriteConsoleW(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        return;
    }
    const std::string bytes = WideToUtf8(line);
    DWORD written = 0;
    ::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

} // namespace

void WriteErrorLine(const std::wstring& text) noexcept {
    try {
        std::wstring line = text;
        for (wchar_t& c : line)
            if (c == L'\r' || c == L'\n')
                c = L' ';
        line += L"\r\n";

        // A windowed program has a standard error only when its caller redirected it; started
        // from a console without redirection, it writes to that console instead.
        const HANDLE standardError = ::GetStdHandle(STD_ERROR_HANDLE);
        if (standardError && standardError != INVALID_HANDLE_VALUE) {
            WriteTo(standardError, line);
        } else if (::AttachConsole(ATTACH_PARENT_PROCESS)) {
            ScopedFileHandle console(::CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                                   OPEN_EXISTING, 0, nullptr));
            if (console)
                WriteTo(console.get(), line);
        }
    } catch (...) {
        // Out of memory while reporting: nothing more can be said.
    }
}

