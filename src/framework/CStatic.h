#pragma once
#include "framework/CWnd.h"

class CStatic : public CWnd {
public:
    // Makes a static control and routes its messages through this object.
    [[nodiscard]] bool Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF) noexcept;
};
