#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "base/Geometry.h"
#include "base/ScopedHandle.h"
#include "module/resource.h"

namespace services_test {

inline CRect ScreenRect(HWND wnd) {
    CRect rect;
    ::GetWindowRect(wnd, &rect);
    return rect;
}

// A resizable top-level window (not shown) whose children are placed in client coordinates.
class TestWindow {
public:
    TestWindow(int clientWidth, int clientHeight) {
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&classes);
        WNDCLASSW wc{0, ::DefWindowProcW, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, L"LineageServicesTest"};
        ::RegisterClassW(&wc);  // fails harmlessly when already registered
        m_wnd = ::CreateWindowExW(0, wc.lpszClassName, L"", kStyle, 40, 30, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ResizeClient(clientWidth, clientHeight);
    }
    ~TestWindow() { ::DestroyWindow(m_wnd); }
    HWND hwnd() const { return m_wnd; }
    HWND AddChild(const wchar_t* windowClass, unsigned id, const CRect& r, DWORD style = 0) const {
        return ::CreateWindowExW(0, windowClass, L"", WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.Width(),
                                 r.Height(), m_wnd, reinterpret_cast<HMENU>(UINT_PTR{id}), nullptr, nullptr);
    }
    void ResizeClient(int width, int height) const {
        CRect frame(0, 0, width, height);
        ::AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
        ResizeWindow(frame.Width(), frame.Height());
    }
    void ResizeWindow(int width, int height) const {
        ::SetWindowPos(m_wnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    CRect ChildRect(unsigned id) const {
        CRect rect = ScreenRect(::GetDlgItem(m_wnd, int(id)));
        ::MapWindowPoints(nullptr, m_wnd, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

private:
    static constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    HWND m_wnd = nullptr;
};

}  // namespace services_test

inline void PrintTo(const CRect& r, std::ostream* os) {
    *os << r.left << "," << r.top << "," << r.right << "," << r.bottom;
}
inline void PrintTo(const CSize& s, std::ostream* os) { *os << s.cx << " x " << s.cy; }
