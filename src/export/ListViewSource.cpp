#include "export/ListViewSource.h"

#include "framework/CListCtrl.h"

namespace {
// Headings are read into a buffer of this many characters, terminator included.
constexpr int kHeadingBufferLength = 100;
}  // namespace

void ReadListView(const CListCtrl& list, ExportSource& source) {
    source.headings.clear();
    for (int c = 0, columns = list.GetColumnCount(); c < columns; ++c)
        source.headings.push_back(list.GetColumnHeading(c, kHeadingBufferLength));
    source.rowCount = list.GetItemCount();
    source.cellText = [&list](int row, int column) { return list.GetItemText(row, column); };
}
