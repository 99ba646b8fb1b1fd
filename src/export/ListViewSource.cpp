#include "export/ListViewSource.h"

#include <commctrl.h>

#include <string>

namespace {

constexpr int kHeadingBufferLength = 100;
constexpr size_t kFirstCellBufferLength = 256;

std::wstring ColumnHeading(HWND list, int column) {
    wchar_t text[kHeadingBufferLength] = {};
    LVCOLUMNW info{};
    info.mask = LVCF_TEXT;
    info.pszText = text;
    info.cchTextMax = kHeadingBufferLength;
    if (!::SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&info))) return {};
    return text;
}

// Any length: the buffer grows until the text fits with room to spare.
std::wstring CellText(HWND list, int row, int column) {
    std::wstring text;
    for (size_t size = kFirstCellBufferLength;; size *= 2) {
        text.assign(size, L'\0');
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(size);
        const LRESULT length = ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        if (length < 0) return {};
        if (static_cast<size_t>(length) < size - 1) {
            text.resize(static_cast<size_t>(length));
            return text;
        }
    }
}

}  // namespace

void ReadListView(HWND list, ExportSource& source) {
    const HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int columns = header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    source.headings.clear();
    for (int c = 0; c < columns; ++c) source.headings.push_back(ColumnHeading(list, c));
    source.rowCount = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    source.cellText = [list](int row, int column) { return CellText(list, row, column); };
}
