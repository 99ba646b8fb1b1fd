#pragma once
#include "framework/CWnd.h"
#include <commctrl.h>

class CImageList;

// Report-view list-view control.
class CListCtrl : public CWnd {
public:
    int InsertColumn(int column, const wchar_t* heading, int format = LVCFMT_LEFT, int width = -1) noexcept;
    int GetColumnWidth(int column) const noexcept { return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, column)); }
    int GetColumnCount() const noexcept;
    // Cut to bufferLength - 1 characters, as read into a buffer of that size.
    std::wstring GetColumnHeading(int column, int bufferLength = 260) const;

    int GetItemCount() const noexcept { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    void SetItemCountEx(int count, DWORD flags = LVSICF_NOINVALIDATEALL) noexcept {
        SendMessage(LVM_SETITEMCOUNT, count, flags);
    }
    std::wstring GetItemText(int item, int subItem) const;

    DWORD GetExtendedStyle() const noexcept { return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    DWORD SetExtendedStyle(DWORD styles) noexcept {
        return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, styles));
    }
    HIMAGELIST SetImageList(HIMAGELIST list, int which) noexcept {
        return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(list)));
    }
    HIMAGELIST GetImageList(int which) const noexcept {
        return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, which));
    }

    int GetNextItem(int start, int flags) const noexcept {
        return static_cast<int>(SendMessage(LVM_GETNEXTITEM, start, MAKELPARAM(flags, 0)));
    }
    void SetItemState(int item, UINT state, UINT mask) noexcept;
    UINT GetItemState(int item, UINT mask) const noexcept {
        return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, item, mask));
    }
    int GetTopIndex() const noexcept { return static_cast<int>(SendMessage(LVM_GETTOPINDEX)); }
    int GetCountPerPage() const noexcept { return static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE)); }
    [[nodiscard]] bool GetItemRect(int item, LPRECT rect, UINT code) const noexcept;
    [[nodiscard]] bool GetSubItemRect(int item, int subItem, int code, RECT& rect) const noexcept;
    int HitTest(POINT pt, UINT* flags = nullptr) const noexcept;
    HWND GetHeaderCtrl() const noexcept { return reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER)); }
};
