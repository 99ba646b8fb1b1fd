#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <memory>
#include <string>
#include "TestVault.h"
#include "dbcall/VaultData.h"
#include "dialog/BranchDetailsDlg.h"
#include "dialog/BranchedFileItem.h"
#include "framework/AfxException.h"
#include "framework/AfxExtensionModule.h"
#include "framework/AfxModuleState.h"
#include "listview/VListCtrl.h"
#include "module/resource.h"
#include "toolkit/RefPtr.h"

namespace {

struct TestRow : VListCtrlItem {
    explicit TestRow(std::wstring text) : text(std::move(text)) {}
    void GetText(int, wchar_t* buffer, int size) override {
        fewestRefs = std::min(fewestRefs, RefCount());
        lstrcpynW(buffer, text.c_str(), size);
    }
    int Compare(VListCtrlItem& other, int key) override {
        fewestRefs = std::min({fewestRefs, RefCount(), other.RefCount()});
        return VListCtrlItem::Compare(other, key);
    }
    bool OnEvent(int event, POINT, UINT, int row, int column, VListCtrl&) override {
        events.push_back({event, row, column});
        return true;
    }
    void OnDeleteKey() override { ++deletes; }
    std::wstring text;
    std::vector<std::vector<int>> events;  // code, row, column
    int deletes = 0;
    uint32_t fewestRefs = UINT32_MAX;  // while the list asked for text or compared
};

class ListWindow : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&icc);
        ASSERT_TRUE(m_parent.SubclassWindow(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 400, nullptr,
                                                              nullptr, nullptr, nullptr)));
        ASSERT_TRUE(m_list.SubclassWindow(::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT |
            LVS_OWNERDATA, 0, 0, 600, 400, m_parent.m_hWnd, reinterpret_cast<HMENU>(IDC_FILE_LIST), nullptr, nullptr)));
        m_list.InsertColumn(0, L"A", LVCFMT_LEFT, 100);
        m_list.InsertColumn(1, L"B", LVCFMT_LEFT, 150);
    }
    void TearDown() override {
        ::DestroyWindow(m_parent.m_hWnd);
        for (TestRow* row : m_rows)
            row->Release();
    }
    TestRow* Add(const wchar_t* text) {
        m_rows.push_back(new TestRow(text));
        m_list.AddRow(m_rows.back());
        m_list.SetItemCountEx(m_list.GetRowCount());
        return m_rows.back();
    }
    std::wstring Shown(int count) {  // the first `count` positions' texts
        std::wstring texts;
        for (int i = 0; i < count; ++i)
            texts += m_list.GetItemText(i, 0) + L"|";
        return texts;
    }

    CWnd m_parent;
    VListCtrl m_list;
    std::vector<TestRow*> m_rows;  // the test's own reference to each row
};

TEST_F(ListWindow, RowsAreHeldAndComparedAndKeysAndMouseReachThemOnlyAsAsked) {
    Add(L"a");
    TestRow* b = Add(L"b");
    Add(L"c");
    EXPECT_EQ(b->RefCount(), 2u);
    EXPECT_EQ(m_list.GetRow(1, false), b);
    EXPECT_EQ(b->RefCount(), 3u) << "the caller's reference";
    b->Release();
    EXPECT_EQ(m_list.GetRow(3, true), nullptr);
    EXPECT_THROW(m_list.GetRow(3, false), CInvalidArgException);
    EXPECT_THROW(m_list.GetRow(-1, false), CInvalidArgException);
    b->shown = false;
    EXPECT_EQ(Shown(3), L"a|c||") << "a position past the rows is left unanswered";
    b->shown = true;
    m_list.SortRows(-1);
    EXPECT_EQ(Shown(3), L"c|b|a|");
    for (const TestRow* row : m_rows)  // the test's reference, the list's and the caller's
        EXPECT_EQ(row->fewestRefs, 3u) << ::testing::PrintToString(row->text);
    m_list.RemoveAllRows();
    EXPECT_EQ(std::pair(b->RefCount(), m_list.GetItemCount()), std::pair(1u, 0));
    Add(L"a");
    TestRow* second = Add(L"b");
    m_list.SendMessage(WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_EQ(second->deletes, 0) << "nothing selected";
    m_list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    m_list.SendMessage(WM_KEYDOWN, VK_DELETE, 1);
    m_list.SendMessage(WM_KEYDOWN, VK_DELETE, 2 | (1 << 30));
    EXPECT_EQ(second->deletes, 1) << "a held-down key repeats and must not reach the row";
    RECT item{};
    ASSERT_TRUE(m_list.GetItemRect(1, &item, LVIR_BOUNDS));
    const LPARAM inSecondColumn = MAKELPARAM(item.left + 120, (item.top + item.bottom) / 2);
    m_list.SendMessage(WM_LBUTTONUP, 0, inSecondColumn);
    EXPECT_TRUE(second->events.empty());
    m_list.m_eventMask = VListLButtonUp;
    m_list.SendMessage(WM_LBUTTONUP, 0, inSecondColumn);
    EXPECT_EQ(second->events, (std::vector<std::vector<int>>{{2, 1, 1}}));
    int row = -1, column = -1;
    EXPECT_TRUE(m_list.CellFromPoint(POINT{item.left + 10, item.top + 1}, row, column));
    EXPECT_EQ(std::pair(row, column), std::pair(1, 0));
    EXPECT_TRUE(m_list.CellFromPoint(POINT{item.left + 249, item.top + 1}, row, column));
    EXPECT_EQ(column, 1);
    EXPECT_FALSE(m_list.CellFromPoint(POINT{item.left + 10, item.bottom + 40}, row, column));
    // The base comparison ignores case and reads 255 characters only; the dialog's tests sort real rows.
    const std::wstring xs(254, L'x');
    TestRow x(xs + L"a"), same(std::wstring(254, L'X') + L"ab"), later(xs + L"b");
    EXPECT_EQ(x.Compare(same, 1), 0);
    EXPECT_LT(x.Compare(later, 1), 0);
    EXPECT_GT(x.Compare(later, -1), 0);
}

RefPtr<BranchedFileItem> Row(const wchar_t* sourceName, bool shared = false) {
    RefPtr<BranchedFileItem> row(new BranchedFileItem(L"C:\\v\\", 1, 2, 0, 3, 0.0, 4, sourceName, L"copy.txt",
                                                      L"src\\", L"br\\", shared));
    row->Release();  // the RefPtr holds the only reference, as the list would
    return row;
}

std::wstring Cells(BranchedFileItem& row, int size) {
    std::wstring cells;
    for (int column = 0; column < 4; ++column) {
        std::wstring buffer(size, L'?');
        row.GetText(column, buffer.data(), size);
        cells += buffer.c_str() + std::wstring(L"|");
    }
    return cells;
}

TEST(BranchedFileItem, CellsAreCutToTheBufferAndTheTypeOrderFollowsTheLastExtension) {
    auto shared = Row(L"archive.tar.GZ", true);
    EXPECT_EQ(Cells(*shared, 64), L"|C:\\v\\src\\archive.tar.GZ|C:\\v\\br\\copy.txt|Yes|");
    EXPECT_EQ(Cells(*shared, 8) + Cells(*Row(L"a.txt"), 8), L"|C:\\v\\sr|C:\\v\\br|Yes||C:\\v\\sr|C:\\v\\br||");
    EXPECT_EQ(shared->GetColumnImage(0) + shared->GetColumnImage(1), -2) << "without the dialog's images";
    // The Type column (key 1 or -1) compares extensions without case; other columns compare texts.
    const struct { const wchar_t *a, *b; int key, sign; } rows[] = {
        {L"a.doc", L"z.PDF", 1, -1}, {L"a.doc", L"z.PDF", -1, 1}, {L"z.PDF", L"b.pdf", 1, 0},
        {L"README", L"a.doc", 1, -1}, {L"archive.tar.GZ", L"x.tar", 1, -1}, {L"z.PDF", L"a.doc", 2, 1}};
    for (const auto& row : rows) {
        const int result = Row(row.a)->Compare(*Row(row.b), row.key);
        EXPECT_EQ((result > 0) - (result < 0), row.sign) << ::testing::PrintToString(row.a) << " key " << row.key;
    }
}

long g_rowsWhileOpen = -1;

// Closes the dialog once its initialisation has run, noting how many rows were alive then.
LRESULT CALLBACK CloseWhenUp(int code, WPARAM wp, LPARAM lp) {
    auto* info = reinterpret_cast<CWPRETSTRUCT*>(lp);
    if (code == HC_ACTION && info->message == WM_INITDIALOG) {
        g_rowsWhileOpen = BranchedFileItem::LiveCount();
        ::PostMessageW(info->hwnd, WM_COMMAND, IDC_CLOSE, 0);
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

// The dialog's template is found through a resource switch that is undone, or through an extension module.
TEST(BranchDetailsDlg, ReleasesEveryRowItMadeWhenDestroyed) {
    ScopedHMODULE module(::LoadLibraryExW(L"Lineage.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module);
    const HINSTANCE host = AfxGetResourceHandle();
    auto data = std::make_shared<VaultData>();
    data->branches.push_back(VaultBranch{7, L"R", L"", 0.0, {}});
    for (int i = 0; i < 50; ++i)
        data->branches[0].files.push_back({i, 0, 0, 0, L"f.txt", L"f.txt", L"", L"", i == 3});
    std::unique_ptr<SpMgr> spMgr = CreateVaultSpMgr(data);
    lineage_test::TestVault vault(L"Engineering", L"C:\\v\\");

    const long before = BranchedFileItem::LiveCount();
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, &CloseWhenUp, nullptr, ::GetCurrentThreadId());
    {
        AfxResourceHandleScope resources(module.get());
        CBranchDetailsDlg dialog(nullptr);
        dialog.Init(7, 7, spMgr.get(), &vault);
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
    ::UnhookWindowsHookEx(hook);
    EXPECT_EQ(g_rowsWhileOpen, before + 50);
    EXPECT_EQ(BranchedFileItem::LiveCount(), before);
    EXPECT_EQ(AfxGetResourceHandle(), host) << "the switch is undone";
    const auto find = [] { return AfxFindResourceHandle(MAKEINTRESOURCEW(IDD_BRANCH_DETAILS), RT_DIALOG); };
    EXPECT_EQ(find(), nullptr) << "the host has no such template";
    AFX_EXTENSION_MODULE extension;
    ASSERT_TRUE(AfxInitExtensionModule(extension, module.get()));
    {
        CDynLinkLibrary library(extension);
        EXPECT_EQ(find(), module.get());
    }
    EXPECT_EQ(find(), nullptr);
    AfxTermExtensionModule(extension);
}

} // namespace
