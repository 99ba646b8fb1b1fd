#pragma once
#include <windows.h>

// Points, sizes and rectangles as the host's contracts pass them: thin wrappers that stay
// layout-compatible with the Win32 structures they extend, so they pass straight into API calls.

class CPoint : public POINT {
public:
    CPoint() noexcept : POINT{0, 0} {}
    CPoint(int x_, int y_) noexcept : POINT{x_, y_} {}
    CPoint(POINT p) noexcept : POINT(p) {}
    bool operator==(const POINT& o) const noexcept { return x == o.x && y == o.y; }
    bool operator!=(const POINT& o) const noexcept { return !(*this == o); }
};

class CSize : public SIZE {
public:
    CSize() noexcept : SIZE{0, 0} {}
    CSize(int cx_, int cy_) noexcept : SIZE{cx_, cy_} {}
    CSize(SIZE s) noexcept : SIZE(s) {}
    bool operator==(const SIZE& o) const noexcept { return cx == o.cx && cy == o.cy; }
    bool operator!=(const SIZE& o) const noexcept { return !(*this == o); }
};

class CRect : public RECT {
public:
    CRect() noexcept : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) noexcept : RECT{l, t, r, b} {}
    CRect(const RECT& rc) noexcept : RECT(rc) {}
    CRect(POINT topLeft, SIZE size) noexcept
        : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}

    int Width() const noexcept { return right - left; }
    int Height() const noexcept { return bottom - top; }
    CSize Size() const noexcept { return CSize(Width(), Height()); }
    CPoint TopLeft() const noexcept { return CPoint(left, top); }
    CPoint BottomRight() const noexcept { return CPoint(right, bottom); }
    bool IsRectEmpty() const noexcept { return ::IsRectEmpty(this) != FALSE; }
    bool IsRectNull() const noexcept { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool PtInRect(POINT p) const noexcept { return ::PtInRect(this, p) != FALSE; }
    void OffsetRect(int dx, int dy) noexcept { ::OffsetRect(this, dx, dy); }
    void SetRect(int l, int t, int r, int b) noexcept { left = l; top = t; right = r; bottom = b; }
    void SetRectEmpty() noexcept { SetRect(0, 0, 0, 0); }
    bool operator==(const RECT& o) const noexcept { return ::EqualRect(this, &o) != FALSE; }
    bool operator!=(const RECT& o) const noexcept { return !(*this == o); }
    operator LPRECT() noexcept { return this; }
    operator LPCRECT() const noexcept { return this; }
};
