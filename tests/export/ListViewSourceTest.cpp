// The list is exported as it shows: its headings, and its rows in the current sort order,
// whether the control holds the texts or asks its parent for them.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <list>
#include <string>
#include <vector>

#include "ExportTestSupport.h"
#include "export/ListViewSource.h"
#include "framework/CListCtrl.h"

namespace {

// Texts the owner-data list asks its parent for, by display position.
std::vector<std::vector<std::wstring>> g_ownerDataRows;

LRESULT CALLBACK ParentProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == LVN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(lp);
        if ((info->item.mask & LVIF_TEXT) && info->item.iItem < static_cast<int>(g_ownerDataRows.size()) &&
            info->item.cchTextMax > 0) {
            const std::wstring& text = g_ownerDataRows[info->item.iItem][info->item.iSubItem];
            const size_t n = std::min<size_t>(text.size(), static_cast<size_t>(info->item.cchTextMax) - 1);
            text.copy(info->item.pszText, n);
            info->item.pszText[n] = L'\0';
        }
        return 0;
    }
    return ::DefWindowProcW(window, msg, wp, lp);
}

class ListWindow {
public:
    explicit ListWindow(DWORD extraStyle) {
        INITCOMMONCONTROLSEX init{sizeof(init), ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&init);
        WNDCLASSW wc{};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"LineageExportListParent";
        ::RegisterClassW(&wc);
        m_parent = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr,
                                     wc.hInstance, nullptr);
        m_list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | extraStyle, 0, 0, 600,
                                   400, m_parent, nullptr, wc.hInstance, nullptr);
    }
    ListWindow(const ListWindow&) = delete;
    ListWindow& operator=(const ListWindow&) = delete;
    ~ListWindow() { ::DestroyWindow(m_parent); }

    HWND list() const { return m_list; }
    void AddColumn(int index, const std::wstring& heading) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 100;
        column.pszText = const_cast<wchar_t*>(heading.c_str());
        ::SendMessageW(m_list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
    }
    void AddRow(const std::vector<std::wstring>& cells) {
        m_cells.push_back(cells);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(::SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0));
        item.pszText = const_cast<wchar_t*>(L"");
        item.lParam = reinterpret_cast<LPARAM>(m_cells.back()[0].c_str());
        const int row = static_cast<int>(::SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        for (size_t c = 0; c < cells.size(); ++c) {
            LVITEMW cell{};
            cell.iSubItem = static_cast<int>(c + 1);
            cell.pszText = const_cast<wchar_t*>(cells[c].c_str());
            ::SendMessageW(m_list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&cell));
        }
    }

private:
    HWND m_parent = nullptr;
    HWND m_list = nullptr;
    std::list<std::vector<std::wstring>> m_cells;
};

// Sorts by the source path, last first, as a click on that heading would. Each item's data is
// its source path; the list hands the data of two items to compare.
int CALLBACK BySourceDescending(LPARAM a, LPARAM b, LPARAM) noexcept {
    return -wcscmp(reinterpret_cast<const wchar_t*>(a), reinterpret_cast<const wchar_t*>(b));
}

class ListExport : public ::testing::Test {
protected:
    SeparatorSettings settings;
    ScratchFolder folder;
    ListExport() { settings.ListSeparator(L";"); }

    std::string Export(HWND list) {
        CListCtrl control;
        EXPECT_TRUE(control.Attach(list));
        ExportSource source = MakeSource(L"Release", L"anna", L"d", {}, {});
        ReadListView(control, source);
        WriteFileList(source, folder.File(L"list.txt"));
        control.Detach();
        return ReadBytes(folder.File(L"list.txt"));
    }
};

TEST_F(ListExport, RowsFollowTheSortTheUserChose) {
    ListWindow window(0);
    window.AddColumn(0, L"");
    window.AddColumn(1, L"Source File");
    window.AddColumn(2, L"Branch File");
    window.AddRow({L"C:\\a.txt", L"D:\\a.txt"});
    window.AddRow({L"C:\\c.txt", L"D:\\c.txt"});
    window.AddRow({L"C:\\b.txt", L"D:\\b.txt"});
    ::SendMessageW(window.list(), LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(BySourceDescending));

    EXPECT_EQ(Export(window.list()),
              Utf16File({L"Branch Name: Release", L"Created By: anna", L"Created On: d",
                         L"Index;Source File;Branch File", L"1;C:\\c.txt;D:\\c.txt", L"2;C:\\b.txt;D:\\b.txt",
                         L"3;C:\\a.txt;D:\\a.txt"}));
}

TEST_F(ListExport, AnOwnerDataListIsAskedThroughItsParentForTextsOfAnyLength) {
    const size_t kPastAMillion = 3 << 19;
    ListWindow window(LVS_OWNERDATA);
    window.AddColumn(0, L"");
    window.AddColumn(1, L"Source File");
    window.AddColumn(2, L"Branch File");
    window.AddColumn(3, L"Shared " + std::wstring(120, L'x'));
    g_ownerDataRows = {{L"", std::wstring(300, L's'), L"D:\\b.txt", L"Yes"},
                       {L"", L"C:\\a.txt", std::wstring(kPastAMillion, L'b'), L""}};
    ::SendMessageW(window.list(), LVM_SETITEMCOUNT, g_ownerDataRows.size(), 0);

    const std::string bytes = Export(window.list());
    g_ownerDataRows.clear();

    const std::string expected =
        Utf16File({L"Branch Name: Release", L"Created By: anna", L"Created On: d",
                   L"Index;Source File;Branch File;" + (L"Shared " + std::wstring(120, L'x')).substr(0, 99),
                   L"1;" + std::wstring(300, L's') + L";D:\\b.txt;Yes",
                   L"2;C:\\a.txt;" + std::wstring(kPastAMillion, L'b') + L";"});
    ASSERT_EQ(bytes.size(), expected.size()) << "a cell was cut";
    EXPECT_EQ(bytes, expected);
}

TEST_F(ListExport, AnEmptyListStillHasItsHeadings) {
    ListWindow window(0);
    window.AddColumn(0, L"");
    window.AddColumn(1, L"Source File");

    EXPECT_EQ(Export(window.list()), Utf16File({L"Branch Name: Release", L"Created By: anna", L"Created On: d",
                                                L"Index;Source File"}));
}

}  // namespace
