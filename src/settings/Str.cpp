#include "settings/Str.h"

#include <cstdarg>
#include <cstdio>

// The C runtime's own _vscwprintf and _vsnwprintf, not the C99 ones the MinGW headers put
// behind vswprintf: they read %s in a wide format as a wide string, as Windows code expects.
void Str::Format(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    const int length = ::_vscwprintf(format, args);
    va_end(args);
    if (length < 0) {
        m_text.clear();
        return;
    }
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    va_start(args, format);
    const int written = ::_vsnwprintf(&buffer[0], buffer.size(), format, args);
    va_end(args);
    buffer.resize(written == length ? static_cast<size_t>(length) : 0);
    m_text.swap(buffer);
}
