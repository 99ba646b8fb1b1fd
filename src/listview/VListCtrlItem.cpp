#include "listview/VListCtrlItem.h"
#include <cstdlib>
#include "listview/SortKeys.h"

namespace {
// At most 255 characters of a cell take part: the text is fetched into a 256-character buffer.
void CellText(VListCtrlItem& row, int column, wchar_t* buffer) { row.GetText(column, buffer, SortKeys::kTextSize); }
}

int VListCtrlItem::GetColumnImage(int) { return GetImage(); }

int VListCtrlItem::GetImage() { return -1; }

int VListCtrlItem::Compare(VListCtrlItem& other, int key) {
    const int result = SortKeys::Compare(*this, other, std::abs(key) - 1, &CellText);
    return key < 0 ? -result : result;
}

bool VListCtrlItem::OnEvent(int, POINT, UINT, int, int, VListCtrl&) { return false; }

void VListCtrlItem::OnDeleteKey() {}

void VListCtrlItem::OnListScroll(VListCtrl&, UINT) {}

void VListCtrlItem::OnListMouseWheel(VListCtrl&, UINT, short) {}

void VListCtrlItem::ExtraHook() {}

int VListCtrlItem::ExtraQuery() { return 0; }
