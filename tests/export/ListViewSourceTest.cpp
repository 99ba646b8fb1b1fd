// The list is exported as it shows: its headings, and its rows in the current sort order,
// whether the control holds the texts or asks its parent for them.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "ExportTestSupport.h"
#include "export/ListViewSource.h"
#include "framework/CListCtrl.h"

namespace {

// Texts the owner-data list asks its parent for, by display position.
std::vector<std::vector<std::wstring>> g_ownerDataRows;

LRESULT CALLBACK ParentProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(lp);
    if (msg != WM_NOTIFY || info->hdr.code != LVN_GETDISPINFOW)
        return ::DefWindowProcW(window, msg, wp, lp);
    if ((info->item.mask & LVIF_TEXT) && info->item.cchTextMax > 0)
        lstrcpynW(info->item.pszText, g_ownerDataRows[info->item.iItem][info->item.iSubItem].c_str(),
                  info->item.cchTextMax);
    return 0;
}

// A report list with `headings`, exported through the module's reading of it.
class ListExport : public ::testing::Test {
protected:
    void Open(DWORD style, const std::vector<std::wstring>& headings) {
        INITCOMMONCONTROLSEX init{sizeof(init), ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&init);
        WNDCLASSW wc{0, ParentProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, L"LineageExportListParent"};
        ::RegisterClassW(&wc);
        m_parent = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr,
                                     nullptr, nullptr);
        m_list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT | style, 0, 0, 600, 400, m_parent,
                                   nullptr, nullptr, nullptr);
        for (size_t i = 0; i < headings.size(); ++i) {
            LVCOLUMNW column{LVCF_TEXT | LVCF_WIDTH, 0, 100, const_cast<wchar_t*>(headings[i].c_str())};
            ::SendMessageW(m_list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
        }
    }
    void TearDown() override { ::DestroyWindow(m_parent); }

    std::string Export() {
        CListCtrl control;
        EXPECT_TRUE(control.Attach(m_list));
        ExportSource source = MakeSource({}, {}, L"d");
        ReadListView(control, source);
        WriteFileList(source, m_folder.File(L"list.txt"));
        control.Detach();
        return ReadBytes(m_folder.File(L"list.txt"));
    }

    SeparatorSettings m_settings;
    ScratchFolder m_folder;
    HWND m_parent = nullptr, m_list = nullptr;
};

// Sorts by the source path, last first, as a click on that heading would: each item's data
// is its source path.
int CALLBACK BySourceDescending(LPARAM a, LPARAM b, LPARAM) noexcept {
    return -wcscmp(reinterpret_cast<const wchar_t*>(a), reinterpret_cast<const wchar_t*>(b));
}

TEST_F(ListExport, RowsFollowTheSortTheUserChose) {
    Open(0, {L"", L"Source File", L"Branch File"});
    const wchar_t* rows[][2] = {{L"C:\\a.txt", L"D:\\a.txt"}, {L"C:\\c.txt", L"D:\\c.txt"}, {L"C:\\b.txt", L"D:\\b.txt"}};
    for (int r = 0; r < 3; ++r) {
        LVITEMW item{LVIF_TEXT | LVIF_PARAM, r, 0, 0, 0, const_cast<wchar_t*>(L"")};
        item.lParam = reinterpret_cast<LPARAM>(rows[r][0]);
        ::SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (int c = 0; c < 2; ++c) {
            LVITEMW cell{0, 0, c + 1, 0, 0, const_cast<wchar_t*>(rows[r][c])};
            ::SendMessageW(m_list, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&cell));
        }
    }
    ::SendMessageW(m_list, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(BySourceDescending));
    EXPECT_EQ(Export(), Utf16File({L"Branch Name: Release", L"Created By: anna", L"Created On: d",
                                   L"Index;Source File;Branch File", L"1;C:\\c.txt;D:\\c.txt", L"2;C:\\b.txt;D:\\b.txt",
                                   L"3;C:\\a.txt;D:\\a.txt"}));
}

TEST_F(ListExport, AnOwnerDataListIsAskedThroughItsParentForTextsOfAnyLength) {
    const std::wstring longHeading = L"Shared " + std::wstring(120, L'x'), pastAMillion(3 << 19, L'b');
    Open(LVS_OWNERDATA, {L"", L"Source File", L"Branch File", longHeading});
    g_ownerDataRows = {{L"", std::wstring(300, L's'), L"D:\\b.txt", L"Yes"}, {L"", L"C:\\a.txt", pastAMillion, L""}};
    ::SendMessageW(m_list, LVM_SETITEMCOUNT, g_ownerDataRows.size(), 0);
    const std::string expected = Utf16File(
        {L"Branch Name: Release", L"Created By: anna", L"Created On: d",
         L"Index;Source File;Branch File;" + longHeading.substr(0, 99), L"1;" + std::wstring(300, L's') + L";D:\\b.txt;Yes",
         L"2;C:\\a.txt;" + pastAMillion + L";"});
    const std::string bytes = Export();
    ASSERT_EQ(bytes.size(), expected.size()) << "a cell was cut";
    EXPECT_EQ(bytes, expected);
}

TEST_F(ListExport, AnEmptyListStillHasItsHeadings) {
    Open(0, {L"", L"Source File"});
    EXPECT_EQ(Export(), Utf16File({L"Branch Name: Release", L"Created By: anna", L"Created On: d", L"Index;Source File"}));
}

} // namespace
