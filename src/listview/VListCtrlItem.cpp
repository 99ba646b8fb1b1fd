#include "listview/VListCtrlItem.h"
#include <shlwapi.h>
#include <cstdlib>

namespace {
// At most this many characters of a cell take part in a comparison.
constexpr int kCompareBuffer = 256;
}

int VListCtrlItem::GetColumnImage(int) { return GetImage(); }

int VListCtrlItem::GetImage() { return -1; }

int VListCtrlItem::Compare(VListCtrlItem& other, int key) {
    const int column = std::abs(key) - 1;
    wchar_t own[kCompareBuffer] = {};
    wchar_t theirs[kCompareBuffer] = {};
    GetText(column, own, kCompareBuffer);
    other.GetText(column, theirs, kCompareBuffer);
    const int result = ::StrCmpNIW(own, theirs, kCompareBuffer);
    return key < 0 ? -result : result;
}

bool VListCtrlItem::OnEvent(int, POINT, UINT, int, int, VListCtrl&) { return false; }

void VListCtrlItem::OnDeleteKey() {}

void VListCtrlItem::OnListScroll(VListCtrl&, UINT) {}

void VListCtrlItem::OnListMouseWheel(VListCtrl&, UINT, short) {}

void VListCtrlItem::ExtraHook() {}

int VListCtrlItem::ExtraQuery() { return 0; }
