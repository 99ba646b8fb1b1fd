#include "framework/CListCtrl.h"
#include <algorithm>
#include <climits>
#include <cwchar>

int CListCtrl::InsertColumn(int column, const wchar_t* heading, int format, int width) noexcept {
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
    col.fmt = format;
    col.pszText = const_cast<wchar_t*>(heading);
    col.iSubItem = column;
    if (width >= 0) {
        col.mask |= LVCF_WIDTH;
        col.cx = width;
    }
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&col)));
}

int CListCtrl::GetColumnCount() const noexcept {
    HWND header = GetHeaderCtrl();
    return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::wstring CListCtrl::GetColumnHeading(int column, int bufferLength) const {
    std::wstring buffer(static_cast<size_t>(bufferLength > 0 ? bufferLength : 1), L'\0');
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT;
    col.pszText = buffer.data();
    col.cchTextMax = static_cast<int>(buffer.size());
    if (!SendMessage(LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&col)))
        return {};
    buffer.resize(std::wcslen(buffer.c_str()));
    return buffer;
}

std::wstring CListCtrl::GetItemText(int item, int subItem) const {
    // Grow until the text fits: the control answers the number of characters it copied, and a
    // text that fills the buffer may have been cut. Only the message's int size bounds it.
    constexpr size_t kLargestBuffer = INT_MAX;
    std::wstring text(256, L'\0');
    for (;;) {
        LVITEMW lvi{};
        lvi.iSubItem = subItem;
        lvi.pszText = text.data();
        lvi.cchTextMax = static_cast<int>(text.size());
        auto copied = static_cast<size_t>(SendMessage(LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lvi)));
        if (copied + 1 < text.size() || text.size() == kLargestBuffer) {
            text.resize(copied);
            return text;
        }
        text.resize(std::min(text.size() * 2, kLargestBuffer));
    }
}

void CListCtrl::SetItemState(int item, UINT state, UINT mask) noexcept {
    LVITEMW lvi{};
    lvi.state = state;
    lvi.stateMask = mask;
    SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lvi));
}

bool CListCtrl::GetItemRect(int item, LPRECT rect, UINT code) const noexcept {
    rect->left = static_cast<LONG>(code);
    return SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(rect)) != 0;
}

bool CListCtrl::GetSubItemRect(int item, int subItem, int code, RECT& rect) const noexcept {
    rect.top = subItem;
    rect.left = code;
    return SendMessage(LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect)) != 0;
}

int CListCtrl::HitTest(POINT pt, UINT* flags) const noexcept {
    LVHITTESTINFO info{};
    info.pt = pt;
    int item = static_cast<int>(SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    if (flags)
        *flags = info.flags;
    return item;
}
