// The branch as the dialog shows it: caption and header fields, one row per branched file
// with the focus document's row first, the "Shared" column, and sorting by column headers.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <memory>
#include "DialogSession.h"
#include "TestVault.h"
#include "dbcall/VaultData.h"

using namespace lineage_test;

namespace {

constexpr wchar_t kWindowStateKey[] =
    L"Software\\Brightfold\\Applications\\Ledgerix Enterprise\\Window State\\BranchDetails";
constexpr double kNov23_1987_144556 = 32104.6152314815;

VaultBranchFile File(int sourceDocId, int branchDocId, const wchar_t* name, const wchar_t* sourceFolder,
                     const wchar_t* branchFolder, bool shared = false) {
    VaultBranchFile f;
    f.sourceDocId = sourceDocId;
    f.sourceFolderId = 1;
    f.branchDocId = branchDocId;
    f.branchFolderId = 2;
    f.sourceName = name;
    f.branchName = name;
    f.sourceFolder = sourceFolder;
    f.branchFolder = branchFolder;
    f.shared = shared;
    return f;
}

class BranchRows : public ::testing::Test {
protected:
    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kWindowStateKey);
        ASSERT_NE(ShowBranchDetailsEntry(), nullptr);
        m_data = std::make_shared<VaultData>();
        m_data->name = L"Engineering";
        m_data->root = L"C:\\vault\\";
    }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kWindowStateKey); }

    VaultBranch& AddBranch(int id, const wchar_t* name, const wchar_t* creator, double created) {
        VaultBranch branch;
        branch.id = id;
        branch.name = name;
        branch.creator = creator;
        branch.created = created;
        m_data->branches.push_back(branch);
        return m_data->branches.back();
    }

    // Opens the dialog on `branchId` with `focusDocId`; the manager lives as long as the test.
    std::unique_ptr<DialogSession> Open(int branchId, int focusDocId) {
        m_spMgr = CreateVaultSpMgr(m_data);
        DialogSession::Args args;
        args.branchId = branchId;
        args.focusDocId = focusDocId;
        args.spMgr = m_spMgr.get();
        args.vault = &m_vault;
        auto session = std::make_unique<DialogSession>(args);
        if (!session->WaitForDialog())
            ADD_FAILURE() << "no dialog";
        return session;
    }

    std::shared_ptr<VaultData> m_data;
    std::unique_ptr<SpMgr> m_spMgr;
    TestVault m_vault{L"Engineering", L"C:\\vault\\"};
};

std::vector<int> SelectedRows(HWND list) {
    std::vector<int> rows;
    for (int i = static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED)); i != -1;
         i = static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, i, LVNI_SELECTED)))
        rows.push_back(i);
    return rows;
}

std::vector<std::wstring> Column(HWND list, int column) {
    std::vector<std::wstring> cells;
    for (int i = 0; i < ItemCount(list); ++i)
        cells.push_back(CellText(list, i, column));
    return cells;
}

// A real click on a column header: button down and up over the header item.
void ClickHeader(DialogSession& session, int column) {
    HWND header = reinterpret_cast<HWND>(::SendMessageW(session.Item(4004), LVM_GETHEADER, 0, 0));
    RECT item{};
    ::SendMessageW(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&item));
    LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    ::PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(header, WM_LBUTTONUP, 0, at);
    session.Sync();
}

TEST_F(BranchRows, CaptionAndHeaderFieldsShowTheBranch) {
    AddBranch(7, L"Release 2", L"anna", kNov23_1987_144556).files = {
        File(11, 31, L"bracket.bfprt", L"Parts\\", L"Release 2\\Parts\\")};
    auto session = Open(7, 0);
    EXPECT_EQ(session->Caption(), L"Associated Branches-Release 2");
    EXPECT_EQ(session->Text(4002), L"anna");
    EXPECT_EQ(session->Text(4003), L"Nov 23 1987 02:45 PM");
}

// The vault's own date format, stored for the user with the product installed machine-wide.
class VaultDateFormat {
public:
    explicit VaultDateFormat(DWORD format) {
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProduct, 0, nullptr, 0, KEY_WRITE, nullptr, &m_machine, nullptr);
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kVault, L"DateFmt", REG_DWORD, &format, sizeof(format));
    }
    VaultDateFormat(const VaultDateFormat&) = delete;
    VaultDateFormat& operator=(const VaultDateFormat&) = delete;
    ~VaultDateFormat() {
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kVault, L"DateFmt");
        if (m_machine)
            ::RegCloseKey(m_machine);
    }
private:
    static constexpr wchar_t kProduct[] = L"Software\\Brightfold\\Applications\\Ledgerix Enterprise";
    static constexpr wchar_t kVault[] = L"Software\\Brightfold\\Applications\\Ledgerix Enterprise\\Vaults\\Engineering";
    HKEY m_machine = nullptr;
};

TEST_F(BranchRows, CreatedOnFollowsTheVaultsDateFormat) {
    AddBranch(7, L"Release 2", L"anna", kNov23_1987_144556);
    VaultDateFormat british(103);
    auto session = Open(7, 0);
    EXPECT_EQ(session->Text(4003), L"23/11/1987 14:45:56");
}

TEST_F(BranchRows, PathsAreRootFolderAndNameJoinedAsStored) {
    AddBranch(7, L"R", L"anna", 0).files = {File(11, 31, L"bracket.bfprt", L"Parts\\", L"Release 2\\Parts\\"),
                                            File(12, 32, L"odd name", L"", L"flat")};
    auto session = Open(7, 0);
    HWND list = session->Item(4004);
    ASSERT_EQ(ItemCount(list), 2);
    EXPECT_EQ(CellText(list, 0, 0), L"");
    EXPECT_EQ(CellText(list, 0, 1), L"C:\\vault\\Parts\\bracket.bfprt");
    EXPECT_EQ(CellText(list, 0, 2), L"C:\\vault\\Release 2\\Parts\\bracket.bfprt");
    EXPECT_EQ(CellText(list, 1, 1), L"C:\\vault\\odd name");
    EXPECT_EQ(CellText(list, 1, 2), L"C:\\vault\\flatodd name");
    EXPECT_EQ(session->Text(4003), L"") << "a branch without a date shows none";
}

struct FocusCase {
    const char* name;
    int focusDocId;
    std::vector<int> expectedSourceIds;  // first column of the shown order
};

class FocusRow : public BranchRows, public ::testing::WithParamInterface<FocusCase> {};

TEST_P(FocusRow, IsFirstAndTheOnlySelectedAndFocusedRow) {
    AddBranch(7, L"R", L"anna", 0).files = {
        File(1, 101, L"a.txt", L"s\\", L"b\\"), File(2, 102, L"b.txt", L"s\\", L"b\\"),
        File(3, 103, L"c.txt", L"s\\", L"b\\"), File(4, 104, L"d.txt", L"s\\", L"b\\"),
        File(5, 3, L"e.txt", L"s\\", L"b\\")};
    auto session = Open(7, GetParam().focusDocId);
    HWND list = session->Item(4004);
    std::vector<int> order;
    for (const auto& path : Column(list, 1))
        order.push_back(path[path.size() - 5] - L'a' + 1);
    EXPECT_EQ(order, GetParam().expectedSourceIds);
    EXPECT_EQ(SelectedRows(list), std::vector<int>{0});
    EXPECT_EQ(::SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED), 0);
}

INSTANTIATE_TEST_SUITE_P(
    ByDocument, FocusRow,
    ::testing::Values(FocusCase{"NoFocusKeepsLoadOrder", 0, {1, 2, 3, 4, 5}},
                      FocusCase{"SourceDocumentReturnedLast", 5, {5, 1, 2, 3, 4}},
                      FocusCase{"BranchDocument", 104, {4, 1, 2, 3, 5}},
                      // Document 3 is the source of row 3 and the branch of row 5: the later wins.
                      FocusCase{"LaterMatchTakesThePlace", 3, {5, 1, 2, 4, 3}}),
    [](const ::testing::TestParamInfo<FocusCase>& info) { return std::string(info.param.name); });

TEST_F(BranchRows, WithoutSharedFilesThreeColumnsAreRememberedUnderFileCols) {
    AddBranch(7, L"R", L"anna", 0).files = {File(1, 2, L"a.txt", L"s\\", L"b\\")};
    auto session = Open(7, 0);
    EXPECT_EQ(ReadColumns(session->Item(4004)).size(), 3u);
    session->PressClose();
    ASSERT_TRUE(session->WaitForReturn());

    DWORD width = 0, size = sizeof(width);
    std::wstring key = std::wstring(kWindowStateKey) + L"\\FileCols";
    EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"Col2", RRF_RT_REG_DWORD, nullptr, &width, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(width, 300u);
}

TEST_F(BranchRows, OneSharedFileAddsTheSharedColumnWithItsOwnRememberedWidths) {
    AddBranch(8, L"Customer A", L"björn", 0).files = {File(1, 11, L"a.txt", L"s\\", L"b\\", false),
                                                     File(2, 12, L"b.txt", L"s\\", L"b\\", true)};
    auto session = Open(8, 0);
    HWND list = session->Item(4004);
    auto columns = ReadColumns(list);
    ASSERT_EQ(columns.size(), 4u);
    EXPECT_EQ(columns[3].heading, L"Shared");
    EXPECT_EQ(columns[3].width, 50);
    EXPECT_EQ(Column(list, 3), (std::vector<std::wstring>{L"", L"Yes"}));

    ::SendMessageW(list, LVM_SETCOLUMNWIDTH, 3, MAKELPARAM(77, 0));
    session->PressClose();
    ASSERT_TRUE(session->WaitForReturn());

    DWORD width = 0, size = sizeof(width);
    std::wstring shared = std::wstring(kWindowStateKey) + L"\\FileColsShared";
    EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, shared.c_str(), L"Col3", RRF_RT_REG_DWORD, nullptr, &width, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(width, 77u);
    HKEY plain = nullptr;
    std::wstring plainKey = std::wstring(kWindowStateKey) + L"\\FileCols";
    EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, plainKey.c_str(), 0, KEY_READ, &plain), ERROR_SUCCESS)
        << "widths of a shared branch must not touch those of a plain one";
    if (plain)
        ::RegCloseKey(plain);
}

TEST_F(BranchRows, AnUnknownBranchLeavesTheTemplateCaptionAndAnEmptyList) {
    AddBranch(7, L"R", L"anna", kNov23_1987_144556).files = {File(1, 2, L"a.txt", L"s\\", L"b\\", true)};
    auto session = Open(99, 0);
    EXPECT_EQ(session->Caption(), L"Dialog");
    EXPECT_EQ(session->Text(4002), L"");
    EXPECT_EQ(session->Text(4003), L"");
    EXPECT_EQ(ReadColumns(session->Item(4004)).size(), 3u);
    EXPECT_EQ(ItemCount(session->Item(4004)), 0);
}

TEST_F(BranchRows, AnEmptyBranchFillsCaptionAndFieldsWithAnEmptyList) {
    AddBranch(9, L"Prototype", L"chen", kNov23_1987_144556);
    auto session = Open(9, 0);
    EXPECT_EQ(session->Caption(), L"Associated Branches-Prototype");
    EXPECT_EQ(session->Text(4002), L"chen");
    EXPECT_FALSE(session->Text(4003).empty());
    EXPECT_EQ(ItemCount(session->Item(4004)), 0);
    EXPECT_TRUE(SelectedRows(session->Item(4004)).empty());
}

TEST_F(BranchRows, EveryRowAndRecordIsReleasedWhenTheDialogCloses) {
    auto& branch = AddBranch(7, L"R", L"anna", 0);
    for (int i = 0; i < 200; ++i)
        branch.files.push_back(File(i + 1, 1000 + i, L"f.txt", L"s\\", L"b\\", i % 7 == 0));
    const long before = LiveBranchFileRecords();
    {
        auto session = Open(7, 50);
        EXPECT_EQ(ItemCount(session->Item(4004)), 200);
        EXPECT_EQ(LiveBranchFileRecords(), before) << "records are deleted once the rows are made";
        session->PressClose();
        ASSERT_TRUE(session->WaitForReturn());
    }
    EXPECT_EQ(LiveBranchFileRecords(), before);
}

class Sorting : public BranchRows {
protected:
    void SetUp() override {
        BranchRows::SetUp();
        AddBranch(7, L"R", L"anna", 0).files = {
            File(1, 11, L"b.TXT", L"one\\", L"z\\"), File(2, 12, L"a.pdf", L"Two\\", L"y\\"),
            File(3, 13, L"c.Doc", L"three\\", L"x\\"), File(4, 14, L"noext", L"four\\", L"w\\")};
    }
    static std::vector<std::wstring> Extensions(HWND list) {
        std::vector<std::wstring> out;
        for (const auto& path : Column(list, 1)) {
            auto name = path.substr(path.find_last_of(L'\\') + 1);
            auto dot = name.rfind(L'.');
            out.push_back(dot == std::wstring::npos ? L"" : name.substr(dot + 1));
        }
        return out;
    }
};

TEST_F(Sorting, FirstClickOnTypeSortsDescendingThenAscendingIgnoringCase) {
    auto session = Open(7, 0);
    HWND list = session->Item(4004);
    ClickHeader(*session, 0);
    EXPECT_EQ(Extensions(list), (std::vector<std::wstring>{L"TXT", L"pdf", L"Doc", L""}));
    ClickHeader(*session, 0);
    EXPECT_EQ(Extensions(list), (std::vector<std::wstring>{L"", L"Doc", L"pdf", L"TXT"}));
}

TEST_F(Sorting, AnotherColumnSortsAscendingAndASecondClickReverses) {
    auto session = Open(7, 0);
    HWND list = session->Item(4004);
    ClickHeader(*session, 2);
    EXPECT_EQ(Column(list, 2), (std::vector<std::wstring>{L"C:\\vault\\w\\noext", L"C:\\vault\\x\\c.Doc",
                                                          L"C:\\vault\\y\\a.pdf", L"C:\\vault\\z\\b.TXT"}));
    ClickHeader(*session, 1);
    EXPECT_EQ(Column(list, 1), (std::vector<std::wstring>{L"C:\\vault\\four\\noext", L"C:\\vault\\one\\b.TXT",
                                                          L"C:\\vault\\three\\c.Doc", L"C:\\vault\\Two\\a.pdf"}));
    ClickHeader(*session, 1);
    EXPECT_EQ(Column(list, 1), (std::vector<std::wstring>{L"C:\\vault\\Two\\a.pdf", L"C:\\vault\\three\\c.Doc",
                                                          L"C:\\vault\\one\\b.TXT", L"C:\\vault\\four\\noext"}));
}

TEST_F(BranchRows, SortingByTypeKeepsEachTypesFilesInTheOrderTheyHad) {
    // Loaded out of path order, three types mixed.
    auto& branch = AddBranch(7, L"R", L"anna", 0);
    const std::wstring types[] = {L"txt", L"pdf", L"doc"};
    std::vector<std::pair<std::wstring, std::wstring>> byType;  // (type, path)
    for (int i = 0; i < 30; ++i) {
        const std::wstring name = L"f" + std::to_wstring(10 + i * 7 % 30) + L"." + types[i % 3];
        branch.files.push_back(File(i + 1, 100 + i, name.c_str(), L"s\\", L"b\\"));
        byType.emplace_back(types[i % 3], L"C:\\vault\\s\\" + name);
    }
    auto session = Open(7, 0);
    HWND list = session->Item(4004);
    ClickHeader(*session, 1);
    for (bool ascending : {true, false}) {
        ClickHeader(*session, 0);
        std::sort(byType.begin(), byType.end(), [ascending](const auto& a, const auto& b) {
            return a.first != b.first ? (a.first < b.first) == ascending : a.second < b.second;
        });
        std::vector<std::wstring> expected;
        for (const auto& file : byType)
            expected.push_back(file.second);
        EXPECT_EQ(Column(list, 1), expected) << (ascending ? "ascending" : "descending");
    }
}

TEST_F(Sorting, SelectedPositionsStaySelectedWhileTheRowsUnderThemChange) {
    auto session = Open(7, 3);  // c.Doc first and selected
    HWND list = session->Item(4004);
    ASSERT_EQ(CellText(list, 0, 1), L"C:\\vault\\three\\c.Doc");
    ClickHeader(*session, 2);
    EXPECT_EQ(SelectedRows(list), std::vector<int>{0});
    EXPECT_EQ(CellText(list, 0, 1), L"C:\\vault\\four\\noext");
}

// Holds the Ctrl key down through the platform's input, whatever the test's outcome.
class CtrlKeyDown {
public:
    CtrlKeyDown() { Send(0); }
    CtrlKeyDown(const CtrlKeyDown&) = delete;
    CtrlKeyDown& operator=(const CtrlKeyDown&) = delete;
    ~CtrlKeyDown() { Send(KEYEVENTF_KEYUP); }
    static bool IsDown() { return (::GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }
private:
    static void Send(DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = VK_CONTROL;
        input.ki.dwFlags = flags;
        ::SendInput(1, &input, sizeof(input));
    }
};

TEST_F(Sorting, CtrlASelectsEveryRow) {
    auto session = Open(7, 0);
    HWND list = session->Item(4004);
    CtrlKeyDown ctrl;
    ASSERT_TRUE(CtrlKeyDown::IsDown()) << "the platform does not report the Ctrl key down";
    ::PostMessageW(list, WM_CHAR, 1, 0);
    session->Sync();
    EXPECT_EQ(SelectedRows(list), (std::vector<int>{0, 1, 2, 3}));
}

// The list-view's own window procedure, reached through CharacterSpy by lists made while the
// spy is the class's procedure.
WNDPROC g_listViewProc = nullptr;
std::vector<WPARAM> g_charactersSeen;

LRESULT CALLBACK CharacterSpy(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_CHAR)
        g_charactersSeen.push_back(wp);
    return ::CallWindowProcW(g_listViewProc, wnd, msg, wp, lp);
}

LONG_PTR SetListViewClassProc(HWND list, LONG_PTR proc) { return ::SetClassLongPtrW(list, GCLP_WNDPROC, proc); }

TEST_F(BranchRows, CtrlAOnAnEmptyListSelectsNothingAndKeepsTheCharacterFromTheListView) {
    AddBranch(9, L"Prototype", L"chen", 0);
    {
        auto first = Open(9, 0);
        g_listViewProc = reinterpret_cast<WNDPROC>(
            SetListViewClassProc(first->Item(4004), reinterpret_cast<LONG_PTR>(&CharacterSpy)));
    }
    auto session = Open(9, 0);
    HWND list = session->Item(4004);
    SetListViewClassProc(list, reinterpret_cast<LONG_PTR>(g_listViewProc));  // later lists go without the spy
    g_charactersSeen.clear();
    CtrlKeyDown ctrl;
    ::PostMessageW(list, WM_CHAR, 1, 0);
    ::PostMessageW(list, WM_CHAR, L'x', 0);  // any other character goes on to the list view
    session->Sync();
    EXPECT_EQ(g_charactersSeen, std::vector<WPARAM>{L'x'});
    EXPECT_TRUE(SelectedRows(list).empty());
}

} // namespace
