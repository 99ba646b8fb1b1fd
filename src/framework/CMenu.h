#pragma once
#include <windows.h>
#include "base/ScopedHandle.h"

// Owns a menu handle; the menu is destroyed with the object.
class CMenu {
public:
    CMenu() noexcept = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    virtual ~CMenu() = default;

    HMENU GetSafeHmenu() const noexcept { return m_menu.get(); }
    operator HMENU() const noexcept { return GetSafeHmenu(); }

    [[nodiscard]] bool CreatePopupMenu() noexcept;
    [[nodiscard]] bool AppendMenu(UINT flags, UINT_PTR id, const wchar_t* text) noexcept;
    [[nodiscard]] bool SetMenuItemBitmaps(UINT item, UINT flags, HBITMAP unchecked, HBITMAP checked) noexcept;
    // With TPM_RETURNCMD: the chosen item's id, or 0 when the menu was dismissed.
    int TrackPopupMenu(UINT flags, int x, int y, HWND owner) noexcept;
    bool DestroyMenu() noexcept;

private:
    ScopedHMENU m_menu;
};
