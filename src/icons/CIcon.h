#pragma once
#include <windows.h>
#include <commctrl.h>
#include "base/ScopedHandle.h"

// A picture of an image list with another picture of the same list drawn over it. Holds no icon
// when composing failed.
class CIcon {
public:
    CIcon(HIMAGELIST list, int baseSlot, int overlaySlot);
    CIcon(const CIcon&) = delete;
    CIcon& operator=(const CIcon&) = delete;
    virtual ~CIcon() = default;

    HICON GetIcon() const noexcept { return m_icon.get(); }
    // Hands the icon to the caller, who destroys it.
    HICON Detach() noexcept { return m_icon.release(); }

private:
    ScopedHICON m_icon;
};
