#include "framework/CMenu.h"

bool CMenu::CreatePopupMenu() noexcept {
    m_menu.reset(::CreatePopupMenu());
    return static_cast<bool>(m_menu);
}

bool CMenu::AppendMenu(UINT flags, UINT_PTR id, const wchar_t* text) noexcept {
    return ::AppendMenuW(m_menu.get(), flags, id, text) != FALSE;
}

bool CMenu::SetMenuItemBitmaps(UINT item, UINT flags, HBITMAP unchecked, HBITMAP checked) noexcept {
    return ::SetMenuItemBitmaps(m_menu.get(), item, flags, unchecked, checked) != FALSE;
}

int CMenu::TrackPopupMenu(UINT flags, int x, int y, HWND owner) noexcept {
    return static_cast<int>(::TrackPopupMenu(m_menu.get(), flags, x, y, 0, owner, nullptr));
}

bool CMenu::DestroyMenu() noexcept {
    if (!m_menu)
        return false;
    m_menu.reset();
    return true;
}
