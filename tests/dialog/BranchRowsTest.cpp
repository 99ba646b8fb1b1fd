// The branch as the dialog shows it: caption and header fields, one row per branched file with
// the focus document's row first, the "Shared" column, and sorting by column headers.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include "BranchDialog.h"

using namespace lineage_test;

namespace {

constexpr wchar_t kWindowState[] =
    L"Software\\Brightfold\\Applications\\Ledgerix Enterprise\\Window State\\BranchDetails";
constexpr double kNov23_1987_144556 = 32104.6152314815;

VaultBranch Branch(std::vector<VaultBranchFile> files, double created = 0, const wchar_t* name = L"R") {
    return {7, name, L"anna", created, std::move(files)};
}

class BranchRows : public ::testing::Test {
protected:
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kWindowState); }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kWindowState); }
};

std::vector<int> SelectedRows(HWND list) {
    std::vector<int> rows;
    for (int i = -1; (i = int(::SendMessageW(list, LVM_GETNEXTITEM, i, LVNI_SELECTED))) != -1;)
        rows.push_back(i);
    return rows;
}

DWORD RememberedWidth(const wchar_t* columnSet, const wchar_t* column) {
    DWORD width = 0, size = sizeof(width);
    const std::wstring key = std::wstring(kWindowState) + L"\\" + columnSet;
    ::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), column, RRF_RT_REG_DWORD, nullptr, &width, &size);
    return width;
}

TEST_F(BranchRows, CaptionFieldsAndPathsShowTheBranch) {
    BranchDialog dialog(Branch({BranchFile(11, 31, L"bracket.bfprt", L"Parts\\", L"Release 2\\Parts\\"),
                                BranchFile(12, 32, L"odd name", L"", L"flat")},
                               kNov23_1987_144556, L"Release 2"));
    EXPECT_EQ(dialog->Caption(), L"Associated Branches-Release 2");
    EXPECT_EQ(dialog->Text(IDC_CREATED_BY), L"anna");
    EXPECT_EQ(dialog->Text(IDC_CREATED_ON), L"Nov 23 1987 02:45 PM");
    const std::vector<std::wstring> sources{L"C:\\vault\\Parts\\bracket.bfprt", L"C:\\vault\\odd name"};
    const std::vector<std::wstring> branches{L"C:\\vault\\Release 2\\Parts\\bracket.bfprt", L"C:\\vault\\flatodd name"};
    EXPECT_EQ(ColumnTexts(dialog.List(), 0), (std::vector<std::wstring>{L"", L""}));
    EXPECT_EQ(ColumnTexts(dialog.List(), 1), sources);
    EXPECT_EQ(ColumnTexts(dialog.List(), 2), branches);
}

TEST_F(BranchRows, CreatedOnFollowsTheVaultsDateFormat) {
    // The vault's own format, stored for the user with the product installed machine-wide.
    const wchar_t kProduct[] = L"Software\\Brightfold\\Applications\\Ledgerix Enterprise";
    const std::wstring vault = std::wstring(kProduct) + L"\\Vaults\\Engineering";
    ScopedHKEY machine;
    ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProduct, 0, nullptr, 0, KEY_WRITE, nullptr, machine.put(), nullptr);
    const DWORD british = 103;
    ::RegSetKeyValueW(HKEY_CURRENT_USER, vault.c_str(), L"DateFmt", REG_DWORD, &british, sizeof(british));
    BranchDialog dialog(Branch({}, kNov23_1987_144556));
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, vault.c_str(), L"DateFmt");
    EXPECT_EQ(dialog->Text(IDC_CREATED_ON), L"23/11/1987 14:45:56");
}

TEST_F(BranchRows, UnknownAndEmptyBranchesShowAnEmptyList) {
    const VaultBranch branch = Branch({BranchFile(1, 2, L"a.txt", L"s\\", L"b\\", true)}, kNov23_1987_144556);
    BranchDialog unknown(branch, 0, 99);
    EXPECT_EQ(unknown->Caption(), L"Dialog");
    EXPECT_EQ(unknown->Text(IDC_CREATED_BY) + unknown->Text(IDC_CREATED_ON), L"");
    EXPECT_EQ(ReadColumns(unknown.List()).size(), 3u);
    EXPECT_EQ(ItemCount(unknown.List()), 0);

    BranchDialog empty(Branch({}, kNov23_1987_144556, L"Prototype"));
    EXPECT_EQ(empty->Caption(), L"Associated Branches-Prototype");
    EXPECT_EQ(empty->Text(IDC_CREATED_BY), L"anna");
    EXPECT_FALSE(empty->Text(IDC_CREATED_ON).empty());
    EXPECT_EQ(ItemCount(empty.List()), 0);
    EXPECT_TRUE(SelectedRows(empty.List()).empty());
}

TEST_F(BranchRows, TheFocusRowIsFirstAndTheOnlySelectedAndFocusedRow) {
    struct Case { int focusDocId; const char* order; } cases[] = {
        {0, "abcde"}, {5, "eabcd"}, {104, "dabce"},
        {3, "eabdc"},  // document 3 is the source of row c and the branch of row e: the later wins
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.focusDocId);
        BranchDialog dialog(Branch({BranchFile(1, 101, L"a", L"", L""), BranchFile(2, 102, L"b", L"", L""),
                                    BranchFile(3, 103, L"c", L"", L""), BranchFile(4, 104, L"d", L"", L""),
                                    BranchFile(5, 3, L"e", L"", L"")}),
                            c.focusDocId);
        std::string order;
        for (const auto& path : ColumnTexts(dialog.List(), 1))
            order += char(path.back());
        EXPECT_EQ(order, c.order);
        EXPECT_EQ(SelectedRows(dialog.List()), std::vector<int>{0});
        EXPECT_EQ(::SendMessageW(dialog.List(), LVM_GETNEXTITEM, -1, LVNI_FOCUSED), 0);
    }
}

TEST_F(BranchRows, ASharedFileAddsTheSharedColumnWithItsOwnRememberedWidths) {
    // A shared file before an unshared one: any shared file makes the column.
    BranchDialog dialog(Branch({BranchFile(1, 11, L"a.txt", L"s\\", L"b\\", true),
                                BranchFile(2, 12, L"b.txt", L"s\\", L"b\\", false)}));
    const auto columns = ReadColumns(dialog.List());
    ASSERT_EQ(columns.size(), 4u);
    EXPECT_EQ(columns[3].heading, L"Shared");
    EXPECT_EQ(columns[3].width, 50);
    EXPECT_EQ(ColumnTexts(dialog.List(), 3), (std::vector<std::wstring>{L"Yes", L""}));
    ::SendMessageW(dialog.List(), LVM_SETCOLUMNWIDTH, 3, MAKELPARAM(77, 0));
    dialog->PressClose();
    ASSERT_TRUE(dialog->WaitForReturn());
    EXPECT_EQ(RememberedWidth(L"FileColsShared", L"Col3"), 77u);
    EXPECT_EQ(RememberedWidth(L"FileCols", L"Col2"), 0u) << "a shared branch touched the plain widths";
}

TEST_F(BranchRows, EveryRowAndRecordIsReleasedWhenTheDialogCloses) {
    VaultBranch branch = Branch({});
    for (int i = 0; i < 200; ++i)
        branch.files.push_back(BranchFile(i + 1, 1000 + i, L"f.txt", L"s\\", L"b\\", i % 7 == 0));
    const long before = LiveBranchFileRecords();
    {
        BranchDialog dialog(branch, 50);
        EXPECT_EQ(ItemCount(dialog.List()), 200);
        EXPECT_EQ(LiveBranchFileRecords(), before) << "records are deleted once the rows are made";
    }
    EXPECT_EQ(LiveBranchFileRecords(), before);
}

// A real click on a column header: button down and up over the header item.
void ClickHeader(DialogSession& session, int column) {
    HWND header = reinterpret_cast<HWND>(::SendMessageW(session.Item(IDC_FILE_LIST), LVM_GETHEADER, 0, 0));
    RECT item{};
    ::SendMessageW(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    ::PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(header, WM_LBUTTONUP, 0, at);
    session.Sync();
}

// Rows by the first letter of their file name.
std::string Order(HWND list) {
    std::string order;
    for (const auto& path : ColumnTexts(list, 1))
        order += char(path[path.find_last_of(L'\\') + 1]);
    return order;
}

// Holds the Ctrl key down through the platform's input, whatever the test's outcome.
struct CtrlKeyDown {
    CtrlKeyDown() { Send(0); }
    ~CtrlKeyDown() { Send(KEYEVENTF_KEYUP); }
    static void Send(DWORD flags) {
        INPUT input{INPUT_KEYBOARD};
        input.ki.wVk = VK_CONTROL;
        input.ki.dwFlags = flags;
        ::SendInput(1, &input, sizeof(input));
    }
};

TEST_F(BranchRows, HeaderClicksSortAndRepaintTheList) {
    // c.Doc, the focus row, is first and selected.
    BranchDialog dialog(Branch({BranchFile(1, 11, L"b.TXT", L"one\\", L"z\\"), BranchFile(2, 12, L"a.pdf", L"Two\\", L"y\\"),
                                BranchFile(3, 13, L"c.Doc", L"three\\", L"x\\"), BranchFile(4, 14, L"noext", L"four\\", L"w\\")}),
                        3);
    HWND list = dialog.List();
    ASSERT_EQ(Order(list), "cban");
    // The first click on types sorts them descending, by extension ignoring case; another
    // column then starts ascending, the same one flips.
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
    CtrlKeyDown ctrl;
    ASSERT_TRUE(::GetAsyncKeyState(VK_CONTROL) & 0x8000) << "the platform does not report the Ctrl key down";
    ::PostMessageW(list, WM_CHAR, 1, 0);  // Ctrl+A
    dialog->Sync();
    EXPECT_EQ(SelectedRows(list), (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(BranchRows, SortingByTypeKeepsEachTypesFilesInTheOrderTheyHad) {
    VaultBranch branch = Branch({});
    const std::wstring types[] = {L"txt", L"pdf", L"doc"};
    std::vector<std::pair<std::wstring, std::wstring>> byType;  // (type, path), loaded out of path order
    for (int i = 0; i < 30; ++i) {
        const std::wstring name = L"f" + std::to_wstring(10 + i * 7 % 30) + L"." + types[i % 3];
        branch.files.push_back(BranchFile(i + 1, 100 + i, name.c_str(), L"s\\", L"b\\"));
        byType.emplace_back(types[i % 3], L"C:\\vault\\s\\" + name);
    }
    BranchDialog dialog(branch);
    ClickHeader(*dialog, 1);
    for (bool ascending : {true, false}) {
        ClickHeader(*dialog, 0);
        std::sort(byType.begin(), byType.end(), [ascending](const auto& a, const auto& b) {
            return a.first != b.first ? (a.first < b.first) == ascending : a.second < b.second;
        });
        std::vector<std::wstring> expected;
        for (const auto& file : byType)
            expected.push_back(file.second);
        EXPECT_EQ(ColumnTexts(dialog.List(), 1), expected) << (ascending ? "ascending" : "descending");
    }
}

// The list view's own window procedure, reached through CharacterSpy by lists made while the
// spy is the class's procedure.
WNDPROC g_listViewProc = nullptr;
std::vector<WPARAM> g_charactersSeen;

LRESULT CALLBACK CharacterSpy(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_CHAR)
        g_charactersSeen.push_back(wp);
    return ::CallWindowProcW(g_listViewProc, wnd, msg, wp, lp);
}

TEST_F(BranchRows, CtrlAOnAnEmptyListSelectsNothingAndKeepsTheCharacterFromTheListView) {
    {
        BranchDialog first(Branch({}));
        g_listViewProc = reinterpret_cast<WNDPROC>(
            ::SetClassLongPtrW(first.List(), GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CharacterSpy)));
    }
    BranchDialog dialog(Branch({}));
    ::SetClassLongPtrW(dialog.List(), GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_listViewProc));
    g_charactersSeen.clear();
    CtrlKeyDown ctrl;
    ::PostMessageW(dialog.List(), WM_CHAR, 1, 0);
    ::PostMessageW(dialog.List(), WM_CHAR, L'x', 0);  // any other character goes on to the list view
    dialog->Sync();
    EXPECT_EQ(g_charactersSeen, std::vector<WPARAM>{L'x'});
    EXPECT_TRUE(SelectedRows(dialog.List()).empty());
}

} // namespace
