#pragma once
#include "framework/CWnd.h"

// The DC of one WM_PAINT: BeginPaint when made, EndPaint when it goes, whatever path the
// drawing takes.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* wnd) noexcept : m_hWnd(wnd->GetSafeHwnd()), m_hDC(::BeginPaint(m_hWnd, &m_ps)) {}
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }

    HDC GetSafeHdc() const noexcept { return m_hDC; }
    operator HDC() const noexcept { return m_hDC; }

    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
    HDC m_hDC;
};
