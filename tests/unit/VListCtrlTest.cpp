// The virtual list control on a real list-view window: rows are asked for what it shows,
// routed events reach rows only by the event mask, and references are held and released.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>
#include <algorithm>
#include <cstdint>
#include <string>
#include "framework/AfxException.h"
#include "listview/VListCtrl.h"

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
        return handles;
    }
    void OnDeleteKey() override { ++deletes; }
    struct Event { int code, row, column; };
    std::wstring text;
    std::vector<Event> events;
    int deletes = 0;
    bool handles = true;
    uint32_t fewestRefs = UINT32_MAX;  // while the list asked for text or compared
};

// A parent that reflects notifications, and the list under test inside it.
class ListWindow : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&icc);
        HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(parent);
        ASSERT_TRUE(m_parent.SubclassWindow(parent));
        HWND list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA,
                                      0, 0, 600, 400, parent, reinterpret_cast<HMENU>(4004), nullptr, nullptr);
        ASSERT_TRUE(list);
        ASSERT_TRUE(m_list.SubclassWindow(list));
        m_list.InsertColumn(0, L"A", LVCFMT_LEFT, 100);
        m_list.InsertColumn(1, L"B", LVCFMT_LEFT, 150);
    }
    void TearDown() override {
        m_list.RemoveAllRows();
        ::DestroyWindow(m_parent.m_hWnd);
        for (TestRow* row : m_rows)
            row->Release();
    }

    TestRow* Add(const wchar_t* text) {
        auto* row = new TestRow(text);
        m_rows.push_back(row);
        m_list.AddRow(row);
        m_list.SetItemCountEx(m_list.GetRowCount());
        return row;
    }

    CWnd m_parent;
    VListCtrl m_list;
    std::vector<TestRow*> m_rows;  // the test's own reference to each row
};

TEST_F(ListWindow, AddingARowTakesAReferenceAndRemovingAllGivesItBack) {
    TestRow* row = Add(L"x");
    EXPECT_EQ(row->RefCount(), 2u);
    m_list.RemoveAllRows();
    EXPECT_EQ(row->RefCount(), 1u);
    EXPECT_EQ(m_list.GetItemCount(), 0);
}

TEST_F(ListWindow, GetRowAddsAReferenceAndRejectsAnIndexOutsideTheArray) {
    TestRow* row = Add(L"x");
    VListCtrlItem* got = m_list.GetRow(0, false);
    EXPECT_EQ(got, row);
    EXPECT_EQ(row->RefCount(), 3u);
    got->Release();
    EXPECT_EQ(m_list.GetRow(1, true), nullptr);
    EXPECT_THROW(m_list.GetRow(1, false), CInvalidArgException);
    EXPECT_THROW(m_list.GetRow(-1, false), CInvalidArgException);
}

TEST_F(ListWindow, CellTextsComeFromTheRows) {
    Add(L"first");
    Add(L"second");
    EXPECT_EQ(m_list.GetItemText(1, 0), L"second");
    EXPECT_EQ(m_list.GetItemText(2, 0), L"") << "a position past the rows is left unanswered";
}

TEST_F(ListWindow, PositionsCountTheRowsShownNowAndEachRowIsHeldWhileTheListUsesIt) {
    TestRow* a = Add(L"a");
    TestRow* b = Add(L"b");
    TestRow* c = Add(L"c");
    b->shown = false;
    EXPECT_EQ(m_list.GetItemText(0, 0) + L"|" + m_list.GetItemText(1, 0) + L"|" + m_list.GetItemText(2, 0), L"a|c|");
    b->shown = true;
    m_list.SortRows(-1);
    EXPECT_EQ(m_list.GetItemText(0, 0) + m_list.GetItemText(1, 0) + m_list.GetItemText(2, 0), L"cba");
    for (const TestRow* row : {a, b, c})  // the test's reference, the list's and the caller's
        EXPECT_EQ(row->fewestRefs, 3u) << "row " << ::testing::PrintToString(row->text);
}

TEST_F(ListWindow, DeleteKeyReachesTheFirstSelectedRowOnlyOnASinglePress) {
    Add(L"a");
    TestRow* second = Add(L"b");
    m_list.SendMessage(WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_EQ(second->deletes, 0) << "nothing selected";
    m_list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    m_list.SendMessage(WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_EQ(second->deletes, 1);
    m_list.SendMessage(WM_KEYDOWN, VK_DELETE, 2 | (1 << 30));
    EXPECT_EQ(second->deletes, 1) << "a held-down key repeats and must not reach the row";
}

TEST_F(ListWindow, MouseEventsReachRowsOnlyWhenTheirBitIsSet) {
    TestRow* row = Add(L"a");
    RECT item{};
    ASSERT_TRUE(m_list.GetItemRect(0, &item, LVIR_BOUNDS));
    LPARAM inSecondColumn = MAKELPARAM(item.left + 120, (item.top + item.bottom) / 2);

    m_list.SendMessage(WM_LBUTTONUP, 0, inSecondColumn);
    EXPECT_TRUE(row->events.empty());

    m_list.m_eventMask = VListLButtonUp;
    m_list.SendMessage(WM_LBUTTONUP, 0, inSecondColumn);
    ASSERT_EQ(row->events.size(), 1u);
    EXPECT_EQ(row->events[0].code, 2);
    EXPECT_EQ(row->events[0].row, 0);
    EXPECT_EQ(row->events[0].column, 1);
}

TEST_F(ListWindow, CellFromPointFindsRowAndColumnAndNothingBelowTheRows) {
    Add(L"a");
    Add(L"b");
    RECT second{};
    ASSERT_TRUE(m_list.GetItemRect(1, &second, LVIR_BOUNDS));
    int row = -1, column = -1;
    EXPECT_TRUE(m_list.CellFromPoint(POINT{second.left + 10, second.top + 1}, row, column));
    EXPECT_EQ(row, 1);
    EXPECT_EQ(column, 0);
    EXPECT_TRUE(m_list.CellFromPoint(POINT{second.left + 249, second.top + 1}, row, column));
    EXPECT_EQ(column, 1);
    EXPECT_FALSE(m_list.CellFromPoint(POINT{second.left + 10, second.bottom + 40}, row, column));
}

TEST_F(ListWindow, ColumnClicksSortDescendingFirstOnTheStoredKeyThenFlip) {
    Add(L"b");
    Add(L"C");
    Add(L"a");
    NMLISTVIEW click{};
    click.hdr.hwndFrom = m_list.m_hWnd;
    click.hdr.idFrom = 4004;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iSubItem = 0;
    m_parent.SendMessage(WM_NOTIFY, 4004, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(m_list.GetSortKey(), -1);
    EXPECT_EQ(m_list.GetItemText(0, 0) + m_list.GetItemText(1, 0) + m_list.GetItemText(2, 0), L"Cba");
    m_parent.SendMessage(WM_NOTIFY, 4004, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(m_list.GetItemText(0, 0) + m_list.GetItemText(1, 0) + m_list.GetItemText(2, 0), L"abC");
}

TEST_F(ListWindow, SortedRowsStandInTheOrderOfTheLocalesCaseInsensitiveComparison) {
    const wchar_t* texts[] = {L"co-op", L"coop", L"Co op", L"r\u00e9sum\u00e9", L"resume", L"Stra\u00dfe", L"strasse",
                              L"A_b", L"a.b", L"a10", L"a2", L"\u00c4pfel", L"apfel", L"Zebra", L"zebra",
                              L"C:\\vault\\Two\\a.pdf", L"C:\\vault\\three\\c.Doc", L"", L"x.TXT", L"x.txt"};
    for (const wchar_t* text : texts)
        Add(text);
    for (int key : {1, -1}) {
        m_list.SortRows(key);
        for (int i = 0; i + 1 < m_list.GetRowCount(); ++i) {
            const std::wstring a = m_list.GetItemText(i, 0), b = m_list.GetItemText(i + 1, 0);
            const int order = ::StrCmpNIW(a.c_str(), b.c_str(), 256);
            EXPECT_TRUE(key > 0 ? order <= 0 : order >= 0) << "'" << ::testing::PrintToString(a) << "' before '"
                                                           << ::testing::PrintToString(b) << "'";
        }
    }
}

struct CompareCase {
    std::wstring a, b;
    int sign;
};

class BaseComparison : public ::testing::TestWithParam<CompareCase> {};

TEST_P(BaseComparison, IgnoresLetterCaseAndLooksAtTheFirst255Characters) {
    auto* a = new TestRow(GetParam().a);
    auto* b = new TestRow(GetParam().b);
    int ascending = a->Compare(*b, 1);
    int descending = a->Compare(*b, -1);
    EXPECT_EQ((ascending > 0) - (ascending < 0), GetParam().sign);
    EXPECT_EQ((descending > 0) - (descending < 0), -GetParam().sign);
    a->Release();
    b->Release();
}

INSTANTIATE_TEST_SUITE_P(Texts, BaseComparison,
                         ::testing::Values(CompareCase{L"Report.PDF", L"report.pdf", 0},
                                           CompareCase{L"alpha", L"Beta", -1},
                                           CompareCase{std::wstring(255, L'x') + L"a", std::wstring(255, L'X') + L"b", 0},
                                           CompareCase{std::wstring(254, L'x') + L"a", std::wstring(254, L'x') + L"b", -1}));

} // namespace
