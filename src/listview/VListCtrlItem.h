#pragma once
#include <windows.h>
#include "toolkit/RefObj.h"

class VListCtrl;

// Whether a row takes part in the display; reads and assigns as a bool. Hidden rows are counted
// process-wide, so while none is hidden (the usual case) a list maps positions to rows without
// looking at them, and a flag changed at any time counts at once.
class ShownFlag {
public:
    ShownFlag() noexcept = default;
    ShownFlag(const ShownFlag&) = delete;
    ShownFlag& operator=(const ShownFlag&) = delete;
    ~ShownFlag() { *this = true; }  // a hidden row that goes is no longer counted

    ShownFlag& operator=(bool shown) noexcept;
    operator bool() const noexcept { return m_shown; }

    static bool AnyHidden() noexcept;

private:
    bool m_shown = true;
};

// One row of a VListCtrl. A row renders its own cells, compares itself with another row for
// sorting, and may react to events the list routes to it. A new row holds one reference,
// owned by its creator.
class VListCtrlItem : public RefObj {
public:
    VListCtrlItem() noexcept { AddRef(); }

    // Copies the cell text of `column` into `buffer`, truncated to fit and always terminated.
    virtual void GetText(int column, wchar_t* buffer, int size) = 0;
    virtual int GetColumnImage(int column);
    virtual int GetImage();
    // Orders this row before (< 0) or after (> 0) `other` by sort key: column + 1, negative
    // for descending.
    virtual int Compare(VListCtrlItem& other, int key);
    virtual bool OnEvent(int event, POINT point, UINT keyFlags, int row, int column, VListCtrl& list);
    virtual void OnDeleteKey();
    virtual void OnListScroll(VListCtrl& list, UINT scrollCode);
    virtual void OnListMouseWheel(VListCtrl& list, UINT keyFlags, short delta);
    virtual void ExtraHook();
    virtual int ExtraQuery();

    ShownFlag shown;

private:
    friend class SortKeys;
    int m_sortSlot = -1;  // position before the sort under way; -1 outside a sort
};
