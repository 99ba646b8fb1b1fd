#pragma once
#include <vector>
#include "framework/CListCtrl.h"
#include "listview/VListCtrlItem.h"

// Private messages of the control, for any owner.
constexpr UINT WM_VLIST_REDRAW = 0x7FFF;  // repaint everything now; answers 0
// lParam: a file name (wide). Appends its type's icon to the small image list; answers the
// image count afterwards, so the new image is at the answer - 1.
constexpr UINT WM_VLIST_ADDICON = WM_USER + 101;

// Row events routed to rows while their bit is set in the event mask.
enum VListEvent : UINT {
    VListLButtonDown = 1,
    VListLButtonUp = 2,
    VListRButtonDown = 4,
    VListRButtonUp = 8,
    VListContextMenu = 16,
    VListLButtonDblClk = 32,
    VListSpaceKey = 64,  // routed as event 2 to the first selected row
};

// A report list view in owner-data mode whose rows are VListCtrlItem objects: the window
// keeps nothing per row and asks the rows for what it paints.
class VListCtrl : public CListCtrl {
public:
    VListCtrl() = default;
    ~VListCtrl() override;

    // Appends a row and takes a reference; the owner then sets the item count once.
    void AddRow(VListCtrlItem* row);
    // Releases every row and, while the window exists, empties it.
    void RemoveAllRows() noexcept;
    // The row with one added reference for the caller to release, or null. An array index
    // outside the array raises CInvalidArgException.
    VListCtrlItem* GetRow(int index, bool byDisplayIndex);
    int GetRowCount() const noexcept { return static_cast<int>(m_rows.size()); }
    // Sorts by `key` (column + 1, negative descending), or by the stored key when 0. Rows
    // that compare equal keep their order.
    void SortRows(int key);
    int GetSortKey() const noexcept { return m_sortKey; }
    // Appends every selected position in increasing order; true when any was found.
    bool GetSelectedIndices(std::vector<int>& list) const;
    // Leaves position 0 as the only selected and focused item.
    void SelectFirstRow() noexcept;
    // The cell under a client point.
    [[nodiscard]] bool CellFromPoint(POINT point, int& row, int& column);

    UINT m_eventMask = 0;

protected:
    bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    bool OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

private:
    VListCtrlItem* RowAtDisplayIndex(int index) const noexcept;
    int ShownRowCount() const noexcept;
    void OnGetDispInfo(NMLVDISPINFOW* info);
    void OnColumnClick(NMLISTVIEW* info);
    bool RouteMouseEvent(UINT event, POINT clientPoint, POINT givenPoint, UINT keyFlags);
    bool RouteContextMenu(POINT screenPoint);
    bool OnChar(WPARAM ch);
    void OnDeleteKey(LPARAM keyData);
    LRESULT OnAddIcon(const wchar_t* fileName) noexcept;
    int FirstSelected() const noexcept { return GetNextItem(-1, LVNI_SELECTED); }

    std::vector<VListCtrlItem*> m_rows;  // display order; one reference each
    int m_sortKey = 1;
};
