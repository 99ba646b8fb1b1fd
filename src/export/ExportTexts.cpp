#include "export/ExportTexts.h"

#include "contracts/Txtres.h"

std::wstring ExportText(const wchar_t* file, unsigned id, const wchar_t* defaultText) {
    return TssText(id, L"TS", file, defaultText);
}

std::wstring FormatWithString(const std::wstring& format, const std::wstring& argument) {
    std::wstring text;
    text.reserve(format.size() + argument.size());
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == L'%' && i + 1 < format.size()) {
            if (format[i + 1] == L's') {
                text += argument;
                ++i;
                continue;
            }
            if (format[i + 1] == L'%') {
                text += L'%';
                ++i;
                continue;
            }
        }
        text += format[i];
    }
    return text;
}
