#include "framework/CStatic.h"

bool CStatic::Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) noexcept {
    HWND wnd = ::CreateWindowExW(0, L"STATIC", text, style, rect.left, rect.top, rect.right - rect.left,
                                 rect.bottom - rect.top, parent ? parent->GetSafeHwnd() : nullptr,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                 reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent ? parent->GetSafeHwnd() : nullptr,
                                                                                 GWLP_HINSTANCE)),
                                 nullptr);
    if (!wnd)
        return false;
    if (!SubclassWindow(wnd)) {
        ::DestroyWindow(wnd);
        return false;
    }
    return true;
}
