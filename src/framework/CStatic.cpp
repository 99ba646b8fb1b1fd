#include "framework/CStatic.h"

bool CStatic::Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) noexcept {
    HWND parentWnd = parent ? parent->GetSafeHwnd() : nullptr;
    auto instance = reinterpret_cast<HINSTANCE>(parentWnd ? ::GetWindowLongPtrW(parentWnd, GWLP_HINSTANCE) : 0);
    HWND wnd = ::CreateWindowExW(0, L"STATIC", text, style, rect.left, rect.top, rect.right - rect.left,
                                 rect.bottom - rect.top, parentWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                 instance, nullptr);
    if (!wnd)
        return false;
    if (!SubclassWindow(wnd)) {
        ::DestroyWindow(wnd);
        return false;
    }
    return true;
}
