#include "framework/CStatic.h"

bool CStatic::Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) noexcept {
    return CreateEx(0, L"STATIC", text, style, rect, parent, id);
}
