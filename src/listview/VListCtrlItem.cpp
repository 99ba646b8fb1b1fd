#include "listview/VListCtrlItem.h"
#include <atomic>
#include <cstdlib>
#include "listview/SortKeys.h"

namespace {
std::atomic<long> g_hiddenRows{0};

// At most 255 characters of a cell take part: the text is fetched into a 256-character buffer.
void CellText(VListCtrlItem& row, int column, wchar_t* buffer) { row.GetText(column, buffer, SortKeys::kTextSize); }
}

ShownFlag& ShownFlag::operator=(bool shown) noexcept {
    if (shown != m_shown) {
        m_shown = shown;
        g_hiddenRows.fetch_add(shown ? -1 : 1, std::memory_order_relaxed);
    }
    return *this;
}

bool ShownFlag::AnyHidden() noexcept { return g_hiddenRows.load(std::memory_order_relaxed) != 0; }

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
