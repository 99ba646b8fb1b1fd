#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include "BranchDialog.h"

using namespace lineage_test;

namespace {

constexpr double kNov23_1987_144556 = 32104.6152314815;

VaultBranch Branch(std::vector<VaultBranchFile> files, const wchar_t* name = L"R", double created = 0) {
    return {7, name, L"anna", created, std::move(files)};
}

std::vector<int> SelectedRows(HWND list) {
    std::vector<int> rows;
    for (int i = -1; (i = int(::SendMessageW(list, LVM_GETNEXTITEM, i, LVNI_SELECTED))) != -1;)
        rows.push_back(i);
    return rows;
}

std::string Order(HWND list) {
    std::string order;
    for (const auto& path : ColumnTexts(list, 1))
        order += char(path[path.find_last_of(L'\\') + 1]);
    return order;
}

TEST(BranchRows, CaptionFieldsRowsAndTheFocusRowShowTheBranch) {
    // The vault's own date format counts once the product is installed machine-wide.
    const wchar_t kProduct[] = L"Software\\Brightfold\\Applications\\Ledgerix Enterprise";
    const std::wstring vault = std::wstring(kProduct) + L"\\Vaults\\Engineering";
    ScopedHKEY machine;
    ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProduct, 0, nullptr, 0, KEY_WRITE, nullptr, machine.put(), nullptr);
    const VaultBranch files = Branch({BranchFile(11, 31, L"bracket.bfprt", L"Parts\\", L"Release 2\\Parts\\"),
                                      BranchFile(12, 32, L"odd name", L"", L"flat", true)},
                                     L"Release 2", kNov23_1987_144556);
    const VaultBranch letters = Branch({BranchFile(1, 101, L"a", L"", L""), BranchFile(2, 102, L"b", L"", L""),
                                        BranchFile(3, 103, L"c", L"", L""), BranchFile(4, 104, L"d", L"", L""),
                                        BranchFile(5, 3, L"e", L"", L"")});
    const struct {
        VaultBranch branch;
        int focusDocId, opened;
        DWORD dateFormat;
        std::wstring caption, fields;
        size_t columns;
        std::vector<std::wstring> rows;  // or, for one-letter names, only their order
        const char* order = nullptr;
    } cases[] = {
        {files, 0, 7, 0, L"Associated Branches-Release 2", L"anna|Nov 23 1987 02:45 PM", 4,
         {L"|C:\\vault\\Parts\\bracket.bfprt|C:\\vault\\Release 2\\Parts\\bracket.bfprt",
          L"|C:\\vault\\odd name|C:\\vault\\flatodd name"}},
        {files, 0, 99, 0, L"Dialog", L"|", 3, {}},  // an unknown branch
        {Branch({}, L"Prototype", kNov23_1987_144556), 0, 7, 103, L"Associated Branches-Prototype",
         L"anna|23/11/1987 14:45:56", 3, {}},
        // The focus row comes first; document 3 is the source of row c and the branch of row e: the later wins.
        {letters, 0, 7, 0, L"Associated Branches-R", L"anna|", 3, {}, "abcde"},
        {letters, 5, 7, 0, L"Associated Branches-R", L"anna|", 3, {}, "eabcd"},
        {letters, 104, 7, 0, L"Associated Branches-R", L"anna|", 3, {}, "dabce"},
        {letters, 3, 7, 0, L"Associated Branches-R", L"anna|", 3, {}, "eabdc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.caption << " focus " << c.focusDocId);
        if (c.dateFormat)
            ::RegSetKeyValueW(HKEY_CURRENT_USER, vault.c_str(), L"DateFmt", REG_DWORD, &c.dateFormat, sizeof(DWORD));
        BranchDialog dialog(c.branch, c.focusDocId, c.opened);
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, vault.c_str(), L"DateFmt");
        HWND list = dialog.List();
        EXPECT_EQ(dialog->Caption(), c.caption);
        EXPECT_EQ(dialog->Text(IDC_CREATED_BY) + L"|" + dialog->Text(IDC_CREATED_ON), c.fields);
        EXPECT_EQ(ReadColumns(list).size(), c.columns);
        std::vector<std::wstring> rows;
        for (int i = 0; i < ItemCount(list); ++i)
            rows.push_back(CellText(list, i, 0) + L"|" + CellText(list, i, 1) + L"|" + CellText(list, i, 2));
        if (c.order)
            EXPECT_EQ(Order(list), c.order);
        else
            EXPECT_EQ(rows, c.rows);
        const int first = ItemCount(list) ? 0 : -1;
        EXPECT_EQ(SelectedRows(list), first < 0 ? std::vector<int>{} : std::vector<int>{0}) << "only the first";
        EXPECT_EQ(::SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED), first);
    }
}

void ClickHeader(DialogSession& session, int column) {
    HWND header = reinterpret_cast<HWND>(::SendMessageW(session.Item(IDC_FILE_LIST), LVM_GETHEADER, 0, 0));
    RECT item{};
    ::SendMessageW(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    ::PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(header, WM_LBUTTONUP, 0, at);
    session.Sync();
}

TEST(BranchRows, ASharedFileAddsTheSharedColumnWithItsOwnWidthsTypesSortStablyAndEveryRecordIsReleased) {
    ForgetWindowState();
    VaultBranch branch = Branch({});
    for (int i = 0; i < 200; ++i) {  // out of path order; a shared file before an unshared one
        const std::wstring name =
            L"f" + std::to_wstring(1000 + i * 7 % 200) + (i % 3 ? L".txt" : i % 2 ? L".pdf" : L".doc");
        branch.files.push_back(BranchFile(i + 1, 1000 + i, name.c_str(), L"s\\", L"b\\", i % 7 == 0));
    }
    const long records = LiveBranchFileRecords();
    {
        BranchDialog dialog(branch, 50);
        EXPECT_EQ(ItemCount(dialog.List()), 200);
        EXPECT_EQ(LiveBranchFileRecords(), records) << "records are deleted once the rows are made";
        const auto columns = ReadColumns(dialog.List());
        ASSERT_EQ(columns.size(), 4u);
        EXPECT_EQ(columns[3].heading + L":" + std::to_wstring(columns[3].width), L"Shared:50");
        EXPECT_EQ(CellText(dialog.List(), 1, 3) + L"|" + CellText(dialog.List(), 2, 3), L"Yes|");
        ClickHeader(*dialog, 1);
        for (int direction : {1, -1}) {  // sorting by type keeps each type's files in the order they had
            ClickHeader(*dialog, 0);
            const auto paths = ColumnTexts(dialog.List(), 1);
            for (size_t i = 1; i < paths.size(); ++i) {
                const std::wstring& before = paths[i - 1];
                const int types = before.substr(before.size() - 3).compare(paths[i].substr(paths[i].size() - 3));
                EXPECT_TRUE(types * direction < 0 || (types == 0 && before < paths[i])) << direction << " at " << i;
            }
        }
        ::SendMessageW(dialog.List(), LVM_SETCOLUMNWIDTH, 3, MAKELPARAM(77, 0));
        dialog->PressClose();
        ASSERT_TRUE(dialog->WaitForReturn());
    }
    EXPECT_EQ(LiveBranchFileRecords(), records);
    EXPECT_EQ(RememberedWidth(L"FileColsShared", L"Col3"), 77u);
    EXPECT_EQ(RememberedWidth(L"FileCols", L"Col2"), 0u) << "a shared branch touched the plain widths";
    ForgetWindowState();
}

struct CtrlKeyDown {
    CtrlKeyDown() { Send(0); }
    ~CtrlKeyDown() { Send(KEYEVENTF_KEYUP); }
    static void Send(DWORD flags) { ::keybd_event(VK_CONTROL, 0, flags, 0); }
};

TEST(BranchRows, HeaderClicksSortAndRepaintTheList) {
    BranchDialog dialog(Branch({BranchFile(1, 11, L"b.TXT", L"one\\", L"z\\"),
                                BranchFile(2, 12, L"a.pdf", L"Two\\", L"y\\"),
                                BranchFile(3, 13, L"c.Doc", L"three\\", L"x\\"),
                                BranchFile(4, 14, L"noext", L"four\\", L"w\\")}),
                        3);
    HWND list = dialog.List();
    ASSERT_EQ(Order(list), "cban");
    for (int round = 0; round < 100 && !::IsWindowVisible(list); ++round)  // Wine shows it once its queue runs dry
        dialog->Sync();
    // Types sort descending first, by extension ignoring case; another column starts ascending.
    struct Step { int column; const char* order; } steps[] = {
        {0, "bacn"}, {0, "ncab"}, {1, "nbca"}, {1, "acbn"}, {2, "ncab"}, {0, "ncab"}, {0, "bacn"}};
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "column " << step.column << " to " << step.order);
        ClickHeader(*dialog, step.column);
        EXPECT_EQ(Order(list), step.order);
        EXPECT_EQ(SelectedRows(list), std::vector<int>{0}) << "the selected position stays";
        // What the screen shows must be what a full repaint draws.
        ASSERT_TRUE(dialog->WaitForPaint(list, false));
        const Capture shown = CaptureWindow(list);
        ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        ::UpdateWindow(list);
        ASSERT_TRUE(dialog->WaitForPaint(list, false));
        EXPECT_TRUE(shown.pixels == CaptureWindow(list).pixels) << "the sort left the screen stale";
    }
}

// The list view's own procedure, reached through CharacterSpy by lists made while it is the class's.
WNDPROC g_listViewProc = nullptr;
std::vector<WPARAM> g_charactersSeen;

LRESULT CALLBACK CharacterSpy(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_CHAR)
        g_charactersSeen.push_back(wp);
    return ::CallWindowProcW(g_listViewProc, wnd, msg, wp, lp);
}

TEST(BranchRows, CtrlASelectsEveryRowAndKeepsTheCharacterFromTheListView) {
    {
        BranchDialog first(Branch({}));
        g_listViewProc = reinterpret_cast<WNDPROC>(
            ::SetClassLongPtrW(first.List(), GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CharacterSpy)));
    }
    CtrlKeyDown ctrl;
    ASSERT_TRUE(::GetAsyncKeyState(VK_CONTROL) & 0x8000) << "the platform does not report the Ctrl key down";
    for (size_t rows : {3, 0}) {
        BranchDialog dialog(Branch(std::vector<VaultBranchFile>(rows, BranchFile(1, 2, L"a", L"", L""))));
        if (rows == 0)
            ::SetClassLongPtrW(dialog.List(), GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_listViewProc));
        g_charactersSeen.clear();
        ::PostMessageW(dialog.List(), WM_CHAR, 1, 0);
        ::PostMessageW(dialog.List(), WM_CHAR, L'x', 0);  // any other character goes on to the list view
        dialog->Sync();
        EXPECT_EQ(g_charactersSeen, std::vector<WPARAM>{L'x'}) << rows;
        EXPECT_EQ(SelectedRows(dialog.List()).size(), rows);
    }
}

} // namespace
