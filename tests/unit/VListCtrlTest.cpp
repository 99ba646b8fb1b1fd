#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <string>
#include "framework/AfxException.h"
#include "listview/VListCtrl.h"
#include "module/resource.h"

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
    VListCtrlItem* got = m_list.GetRow(1, false);
    EXPECT_EQ(got, b);
    EXPECT_EQ(b->RefCount(), 3u);
    got->Release();
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
    EXPECT_EQ(b->RefCount(), 1u);
    EXPECT_EQ(m_list.GetItemCount(), 0);
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

} // namespace
