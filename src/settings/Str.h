#pragma once
// A growable wide string with printf-style formatting.
#include <string>

class Str {
public:
    Str() = default;
    ~Str() = default;

    // Replaces the text with the formatted arguments, read the Windows way: in this wide
    // format %s and %ls take a wide string, %S and %hs a narrow one. If the runtime cannot
    // format the arguments at all, the text becomes empty.
    void Format(const wchar_t* format, ...);

    const wchar_t* c_str() const noexcept { return m_text.c_str(); }
    const std::wstring& Text() const noexcept { return m_text; }

private:
    std::wstring m_text;
};
