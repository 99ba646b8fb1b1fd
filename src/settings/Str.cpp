#include "settings/Str.h"

#include <cstdarg>
#include <cwchar>

namespace {

// Beyond this the output is treated as unformattable rather than grown without end.
constexpr size_t kMaxChars = size_t{1} << 24;

}  // namespace

void Str::Format(const wchar_t* format, ...) {
    std::wstring buffer(128, L'\0');
    for (;;) {
        va_list args;
        va_start(args, format);
        const int written = std::vswprintf(&buffer[0], buffer.size(), format, args);
        va_end(args);
        // C99 runtimes answer -1 when the output does not fit; MinGW's own printf answers the
        // length it needed, as snprintf does. Either way, grow and try again.
        if (written >= 0 && static_cast<size_t>(written) < buffer.size()) {
            buffer.resize(static_cast<size_t>(written));
            m_text.swap(buffer);
            return;
        }
        const size_t next = written >= 0 ? static_cast<size_t>(written) + 1 : buffer.size() * 2;
        if (next > kMaxChars) {
            m_text.clear();
            return;
        }
        buffer.assign(next, L'\0');
    }
}
