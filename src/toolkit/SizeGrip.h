#pragma once
#include <windows.h>
#include "base/ScopedHandle.h"
#include "framework/CStatic.h"

// The grip in a resizable window's bottom-right corner. It draws the visual style's gripper
// when there is one, otherwise dots (the look of a themed system with its theme off) or
// diagonal lines (the look of systems older than visual styles), and tells the window manager
// that it is the bottom-right sizing corner. The theme library is bound at run time, so the
// grip works where it is missing.
class SizeGrip : public CStatic {
public:
    SizeGrip() noexcept = default;
    ~SizeGrip() override;

    // Loads the theme library and takes the gripper's size from the current visual style; a
    // grip smaller than that grows and its parent is laid out again. False when the library or
    // one of its functions is missing: only the hand-drawn looks are left. True otherwise, also
    // when no theme is on now (one may be later).
    [[nodiscard]] bool InitTheme() noexcept;

    bool classic = true;  // draw the diagonal lines; decided by the owner after creation
    ScopedHMODULE themeLibrary;
    int partWidth = 14;
    int partHeight = 14;

protected:
    bool OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

private:
    void OnPaint() noexcept;
    LRESULT OnNcHitTest() const noexcept { return HTBOTTOMRIGHT; }
    // Grows the window to the gripper's size and lets the parent place it again.
    void GrowToPart() noexcept;
    [[nodiscard]] bool DrawThemed(HDC dc, const RECT& client) const noexcept;
    void DrawLines(HDC dc, const RECT& client) const noexcept;
    void DrawDots(HDC dc, const RECT& client) const noexcept;
};
