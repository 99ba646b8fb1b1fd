#include "listview/VListCtrl.h"
#include <algorithm>
#include <cstdlib>
#include <windowsx.h>
#include "base/Lock.h"
#include "contracts/ZebSettings.h"
#include "framework/AfxException.h"
#include "icons/IconCache.h"
#include "listview/SortKeys.h"
#include "toolkit/RefPtr.h"

namespace {

// The sort keys are process-wide: one sort at a time.
CCriticalSection g_sortLock;

constexpr int kMaxHitColumns = 20;

} // namespace

VListCtrl::~VListCtrl() { RemoveAllRows(); }

void VListCtrl::AddRow(VListCtrlItem* row) {
    if (!row)
        return;
    m_rows.push_back(row);
    row->AddRef();
}

void VListCtrl::RemoveAllRows() noexcept {
    for (VListCtrlItem* row : m_rows)
        row->Release();
    m_rows.clear();
    if (IsWindow())
        SetItemCountEx(0, LVSICF_NOINVALIDATEALL);
}

VListCtrlItem* VListCtrl::RowAtDisplayIndex(int index) const noexcept {
    if (index < 0)
        return nullptr;
    if (!ShownFlag::AnyHidden())
        return index < GetRowCount() ? m_rows[static_cast<size_t>(index)] : nullptr;
    for (VListCtrlItem* row : m_rows)
        if (row->shown && index-- == 0)
            return row;
    return nullptr;
}

int VListCtrl::ShownRowCount() const noexcept {
    if (!ShownFlag::AnyHidden())
        return GetRowCount();
    int count = 0;
    for (const VListCtrlItem* row : m_rows)
        count += row->shown ? 1 : 0;
    return count;
}

VListCtrlItem* VListCtrl::GetRow(int index, bool byDisplayIndex) {
    VListCtrlItem* row = nullptr;
    if (byDisplayIndex) {
        row = RowAtDisplayIndex(index);
    } else {
        if (index < 0 || index >= GetRowCount())
            AfxThrowInvalidArgException();
        row = m_rows[static_cast<size_t>(index)];
    }
    if (row)
        row->AddRef();
    return row;
}

void VListCtrl::SortRows(int key) {
    if (key != 0)
        m_sortKey = key;
    if (m_sortKey == 0)
        return;
    CSingleLock lock(g_sortLock);
    if (!m_rows.empty()) {
        // Each row is held while it is compared, and sorted apart from the array, which stays
        // whole until the new order is put back. Stable: equal rows keep the order the user saw.
        std::vector<RefPtr<VListCtrlItem>> held(m_rows.begin(), m_rows.end());
        SortKeys keys(m_rows);
        const int sortKey = m_sortKey;
        std::stable_sort(held.begin(), held.end(),
                         [sortKey](const RefPtr<VListCtrlItem>& a, const RefPtr<VListCtrlItem>& b) {
                             return a->Compare(*b, sortKey) < 0;
                         });
        for (size_t i = 0; i < held.size(); ++i)
            m_rows[i] = held[i].get();
    }
    if (IsWindow())
        Invalidate(true);
}

bool VListCtrl::GetSelectedIndices(std::vector<int>& list) const {
    const size_t before = list.size();
    for (int i = GetNextItem(-1, LVNI_SELECTED); i != -1; i = GetNextItem(i, LVNI_SELECTED))
        list.push_back(i);
    return list.size() > before;
}

void VListCtrl::SelectFirstRow() noexcept {
    for (int i = GetNextItem(-1, LVNI_SELECTED); i != -1; i = GetNextItem(i, LVNI_SELECTED))
        SetItemState(i, 0, LVIS_SELECTED);
    for (int i = GetNextItem(-1, LVNI_FOCUSED); i != -1; i = GetNextItem(i, LVNI_FOCUSED))
        SetItemState(i, 0, LVIS_FOCUSED);
    SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessage(LVM_SETSELECTIONMARK, 0, 0);
}

bool VListCtrl::CellFromPoint(POINT point, int& row, int& column) {
    if ((GetStyle() & LVS_TYPEMASK) != LVS_REPORT) {
        row = HitTest(point);
        column = 0;
        return row >= 0;
    }
    const int top = GetTopIndex();
    int last = top + GetCountPerPage();
    last = last < ShownRowCount() ? last : ShownRowCount();
    for (int i = top; i < last; ++i) {
        RECT bounds{};
        if (!GetItemRect(i, &bounds, LVIR_BOUNDS))
            continue;
        if (point.y < bounds.top)
            return false;
        if (point.y >= bounds.bottom)
            continue;
        int x = bounds.left;
        for (int c = 0; c < kMaxHitColumns; ++c) {
            if (point.x < x)
                return false;
            x += static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, c));
            if (point.x < x) {
                row = i;
                column = c;
                return true;
            }
        }
        ::MessageBeep(0);
    }
    return false;
}

bool VListCtrl::OnChildNotify(UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
    if (msg != WM_NOTIFY)
        return false;
    auto* header = reinterpret_cast<NMHDR*>(lp);
    switch (header->code) {
    case LVN_GETDISPINFOW:
        *result = 0;
        OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW*>(lp));
        return true;
    case LVN_COLUMNCLICK:
        *result = 0;
        OnColumnClick(reinterpret_cast<NMLISTVIEW*>(lp));
        return true;
    default:
        return false;
    }
}

void VListCtrl::OnGetDispInfo(NMLVDISPINFOW* info) {
    LVITEMW& item = info->item;
    if (item.iItem < 0 || item.iItem >= GetRowCount())
        return;
    const RefPtr<VListCtrlItem> row(RowAtDisplayIndex(item.iItem));
    if (!row)
        return;
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
        row->GetText(item.iSubItem, item.pszText, item.cchTextMax);
    if (item.mask & LVIF_IMAGE)
        item.iImage = row->GetColumnImage(item.iSubItem);
}

void VListCtrl::OnColumnClick(NMLISTVIEW* info) {
    const int column = info->iSubItem;
    // The same column flips direction; another column starts ascending.
    SortRows((m_sortKey != 0 && std::abs(m_sortKey) - 1 == column) ? -m_sortKey : column + 1);
}

bool VListCtrl::RouteMouseEvent(UINT event, POINT clientPoint, POINT givenPoint, UINT keyFlags) {
    int row = -1, column = -1;
    if (!CellFromPoint(clientPoint, row, column))
        return false;
    RefPtr<VListCtrlItem> target(RowAtDisplayIndex(row));
    return target && target->OnEvent(static_cast<int>(event), givenPoint, keyFlags, row, column, *this);
}

bool VListCtrl::RouteContextMenu(POINT screenPoint) {
    if (screenPoint.x == -1 && screenPoint.y == -1) {
        std::vector<int> selected;
        if (!GetSelectedIndices(selected))
            return false;
        RefPtr<VListCtrlItem> target(RowAtDisplayIndex(selected.front()));
        return target && target->OnEvent(VListContextMenu, screenPoint, 0, selected.front(), 0, *this);
    }
    POINT client = screenPoint;
    ScreenToClient(&client);
    int row = -1, column = -1;
    if (!CellFromPoint(client, row, column))
        return false;
    RefPtr<VListCtrlItem> target(RowAtDisplayIndex(row));
    return target && target->OnEvent(VListContextMenu, screenPoint, 0, row, column, *this);
}

bool VListCtrl::OnChar(WPARAM ch) {
    if (ch == 1 && (::GetAsyncKeyState(VK_CONTROL) & 0x8000)) {
        // Ctrl+A: select every row; the character goes no further, even on an empty list.
        if (GetItemCount() > 0)
            SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
        return true;
    }
    if (ch == L' ' && (m_eventMask & VListSpaceKey)) {
        const int first = FirstSelected();
        if (first >= 0) {
            RECT icon{};
            if (!GetSubItemRect(first, 0, LVIR_ICON, icon))
                icon = RECT{};
            RefPtr<VListCtrlItem> target(RowAtDisplayIndex(first));
            if (target)
                target->OnEvent(VListLButtonUp, POINT{icon.left + 1, icon.top + 1}, 0, first, 0, *this);
        }
    }
    return false;
}

void VListCtrl::OnDeleteKey(LPARAM keyData) {
    // A held-down key repeats: only a single press reaches the row.
    if (LOWORD(keyData) != 1)
        return;
    const int first = FirstSelected();
    if (first < 0)
        return;
    RefPtr<VListCtrlItem> target(RowAtDisplayIndex(first));
    if (target)
        target->OnDeleteKey();
}

// A cache of its own for this one icon: the list's image list is what keeps it.
LRESULT VListCtrl::OnAddIcon(const wchar_t* fileName) noexcept {
    const HIMAGELIST images = GetImageList(LVSIL_SMALL);
    try {
        IconCache cache;
        const int size = CDPIHelper::get()->getDesiredBitmapImageSz(kivImageUseSmall);
        const ScopedHICON icon(cache.CopyIcon(cache.GetFileIconIndex(fileName), size));
        if (images && icon)
            static_cast<void>(::ImageList_ReplaceIcon(images, -1, icon.get()));
    } catch (const std::bad_alloc&) {
        // Nothing appended: the count tells the sender so.
    }
    return images ? ::ImageList_GetImageCount(images) : 0;
}

bool VListCtrl::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    struct MouseRoute { UINT msg; UINT event; };
    static constexpr MouseRoute kMouse[] = {
        {WM_LBUTTONDOWN, VListLButtonDown}, {WM_LBUTTONUP, VListLButtonUp},
        {WM_RBUTTONDOWN, VListRButtonDown}, {WM_RBUTTONUP, VListRButtonUp},
        {WM_LBUTTONDBLCLK, VListLButtonDblClk},
    };
    for (const auto& route : kMouse) {
        if (msg != route.msg)
            continue;
        if (!(m_eventMask & route.event))
            return false;
        POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        // A double-click hands the row no key flags.
        UINT flags = msg == WM_LBUTTONDBLCLK ? 0 : static_cast<UINT>(wp);
        if (!RouteMouseEvent(route.event, pt, pt, flags))
            return false;
        *result = 0;
        return true;
    }

    switch (msg) {
    case WM_CONTEXTMENU:
        if ((m_eventMask & VListContextMenu) && RouteContextMenu(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)})) {
            *result = 0;
            return true;
        }
        return false;
    case WM_CHAR:
        if (OnChar(wp)) {
            *result = 0;
            return true;
        }
        return false;
    case WM_KEYDOWN:
        if (wp == VK_DELETE)
            OnDeleteKey(lp);
        return false;
    case WM_VSCROLL:
        *result = Default();
        if (!m_rows.empty() && m_rows.front())
            RefPtr<VListCtrlItem>(m_rows.front())->OnListScroll(*this, LOWORD(wp));
        return true;
    case WM_MOUSEWHEEL:
        *result = Default();
        if (!m_rows.empty() && m_rows.front())
            RefPtr<VListCtrlItem>(m_rows.front())->OnListMouseWheel(*this, GET_KEYSTATE_WPARAM(wp), GET_WHEEL_DELTA_WPARAM(wp));
        return true;
    case WM_VLIST_REDRAW:
        InvalidateRect(nullptr, true);
        UpdateWindow();
        *result = 0;
        return true;
    case WM_VLIST_ADDICON:
        *result = OnAddIcon(reinterpret_cast<const wchar_t*>(lp));
        return true;
    default:
        return CListCtrl::OnWndMsg(msg, wp, lp, result);
    }
}
