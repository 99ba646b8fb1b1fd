// The dialog's window icons and the list's file menu: browsing in Explorer and the merge.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <filesystem>
#include <fstream>
#include "../glyphset/GlyphsetTestSupport.h"
#include "ChildProcess.h"
#include "DialogSession.h"
#include "HandleCounts.h"
#include "TestVault.h"
#include "contracts/MergeComponent.h"
#include "dbcall/VaultData.h"
#include "module/resource.h"

using namespace lineage_test;

namespace {

const std::wstring kRoot = std::filesystem::temp_directory_path().wstring() + L"lineage-filemenu\\";

VaultBranchFile File(int id, const wchar_t* name, const wchar_t* sourceFolder) {
    return {id, 1, 10 + id, id + 1, name, name, sourceFolder, L"br\\"};
}

// Rows: a file on disk (the focus row), one only the vault knows, one known nowhere.
class FileMenuBase : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(ShowBranchDetailsEntry(), nullptr);
        std::filesystem::create_directories(kRoot + L"src");
        std::ofstream(std::filesystem::path(kRoot + L"src\\ondisk.txt")) << "x";
        m_data->root = kRoot;
        m_data->documents.push_back({2, 1, L"vaultonly.txt", L"src\\"});
        VaultBranch branch;
        branch.id = 7;
        branch.files = {File(1, L"ondisk.txt", L"src\\"), File(2, L"vaultonly.txt", L"src\\"),
                        File(3, L"nowhere.txt", L"src\\gone\\deeper\\")};
        m_data->branches.push_back(branch);
        m_spMgr = CreateVaultSpMgr(m_data);
    }

    void Open(const wchar_t* vaultName = L"Engineering") {
        m_session.reset();
        m_vault = std::make_unique<TestVault>(vaultName, kRoot.c_str());
        DialogSession::Args args;
        args.focusDocId = 1;
        args.branchId = 7;
        args.spMgr = m_spMgr.get();
        args.vault = m_vault.get();
        m_session = std::make_unique<DialogSession>(args);
        ASSERT_TRUE(m_session->WaitForDialog());
        m_list = m_session->Item(IDC_FILE_LIST);
    }

    std::shared_ptr<VaultData> m_data = std::make_shared<VaultData>();
    std::unique_ptr<SpMgr> m_spMgr;
    std::unique_ptr<TestVault> m_vault;
    std::unique_ptr<DialogSession> m_session;
    HWND m_list = nullptr;
};

using WindowIcons = FileMenuBase;

TEST_F(WindowIcons, SmallAndLargeIconsComeFromTheIconLibrary) {
    Open();
    for (auto [kind, edge] : {std::pair{ICON_SMALL, 16}, std::pair{ICON_BIG, 32}}) {
        auto icon = reinterpret_cast<HICON>(::SendMessageW(m_session->Dialog(), WM_GETICON, kind, 0));
        ICONINFO info{};
        ASSERT_TRUE(icon && ::GetIconInfo(icon, &info)) << kind;
        ScopedHBITMAP colour(info.hbmColor), mask(info.hbmMask);
        BITMAP bitmap{};
        ::GetObjectW(colour.get(), sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, edge) << kind;
    }
}

TEST_F(WindowIcons, DISABLED_OpensWithoutIconsWhenTheLibraryIsMissing) {
    ASSERT_TRUE(IsTestChild());
    Open();
    for (WPARAM kind : {ICON_SMALL, ICON_BIG})
        EXPECT_FALSE(::SendMessageW(m_session->Dialog(), WM_GETICON, kind, 0));
    EXPECT_EQ(ItemCount(m_list), 3);
}

TEST_F(WindowIcons, WithoutTheIconLibraryTheDialogStillOpens) {
    glyphset_test::LocationValue location((kRoot + L"src").c_str());  // a folder without the library
    EXPECT_TRUE(RunTestInChild("WindowIcons.DISABLED_OpensWithoutIconsWhenTheLibraryIsMissing", {}));
}

// Explorer.exe is the recorder while a test runs; the merge component is registered machine-wide.
class FileMenu : public FileMenuBase {
protected:
    void SetUp() override {
        FileMenuBase::SetUp();
        ::MoveFileW(kExplorer, (std::wstring(kExplorer) + L".lineage").c_str());
        ASSERT_TRUE(::CopyFileW((ExecutableFolder() + L"ExplorerRecorder.exe").c_str(), kWindowsExplorer, FALSE));
        ::SetEnvironmentVariableW(L"LINEAGE_EXPLORER_LOG", (kRoot + L"explorer.log").c_str());
        ::SetEnvironmentVariableW(L"LINEAGE_MERGE_LOG", (kRoot + L"merge.log").c_str());
        ASSERT_EQ(MergeServer("DllRegisterServer"), S_OK);
    }
    void TearDown() override {
        m_session.reset();
        EXPECT_EQ(MergeServer("DllUnregisterServer"), S_OK);
        ::DeleteFileW(kWindowsExplorer);
        ::MoveFileW((std::wstring(kExplorer) + L".lineage").c_str(), kExplorer);
        std::filesystem::remove_all(kRoot);
    }
    static HRESULT MergeServer(const char* entry) {
        ScopedHMODULE server(::LoadLibraryW((ExecutableFolder() + L"LedgerixMerge.dll").c_str()));
        auto call = server ? reinterpret_cast<HRESULT(WINAPI*)()>(::GetProcAddress(server.get(), entry)) : nullptr;
        return call ? call() : E_FAIL;
    }

    // Right-clicks the cell; the menu it opened, or null once the click is handled without one.
    HWND RightClick(int row, int column) {
        RECT cell{LVIR_LABEL, column};
        ::SendMessageW(m_list, LVM_GETSUBITEMRECT, row < 0 ? ItemCount(m_list) - 1 : row, reinterpret_cast<LPARAM>(&cell));
        // Row -1: below the last row.
        const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, row < 0 ? cell.bottom + 10 : (cell.top + cell.bottom) / 2);
        ::PostMessageW(m_list, WM_RBUTTONDOWN, MK_RBUTTON, at);
        ::PostMessageW(m_list, WM_RBUTTONUP, 0, at);
        m_session->Sync();
        for (HWND menu = nullptr; (menu = ::FindWindowExW(nullptr, menu, L"#32768", nullptr));)
            if (::IsWindowVisible(menu))
                return menu;
        return nullptr;
    }
    static HMENU MenuOf(HWND menuWindow) { return reinterpret_cast<HMENU>(::SendMessageW(menuWindow, MN_GETHMENU, 0, 0)); }
    static HBITMAP MergePicture(HMENU menu) {
        MENUITEMINFOW merge{sizeof(merge), MIIM_CHECKMARKS};
        return ::GetMenuItemInfoW(menu, 3, FALSE, &merge) ? merge.hbmpUnchecked : nullptr;
    }
    static std::vector<std::wstring> Items(HWND menuWindow) {
        std::vector<std::wstring> items;
        for (wchar_t text[100]; ::GetMenuStringW(MenuOf(menuWindow), items.size(), text, 100, MF_BYPOSITION);)
            items.push_back(text);
        return items;
    }
    // Item `position` by the keyboard, or Escape for -1; answers once the choice is acted on.
    void Choose(HWND menu, int position) {
        for (int i = 0; i <= position; ++i)
            ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        // The menu acts on Enter's character (queued behind anything posted after the key): post that.
        ::PostMessageW(menu, position < 0 ? WM_KEYDOWN : WM_CHAR, position < 0 ? VK_ESCAPE : L'\r', 0);
        m_session->Sync();
    }
    void Select(std::initializer_list<int> rows) {
        LVITEMW none{0, 0, 0, 0, LVIS_SELECTED}, selected{0, 0, 0, LVIS_SELECTED, LVIS_SELECTED};
        ::SendMessageW(m_list, LVM_SETITEMSTATE, -1, reinterpret_cast<LPARAM>(&none));
        for (int row : rows)
            ::SendMessageW(m_list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&selected));
    }
    static std::string Read(const wchar_t* log) {
        std::ifstream f(std::filesystem::path(kRoot + log), std::ios::binary);
        return {std::istreambuf_iterator<char>(f), {}};
    }
    static HWND MergeWindow() { return ::FindWindowW(nullptr, L"Merge"); }

    static constexpr const wchar_t* kExplorer = L"C:\\windows\\system32\\explorer.exe";
    static constexpr const wchar_t* kWindowsExplorer = L"C:\\windows\\explorer.exe";
};

// Escape runs nothing and frees the menu, its picture and the icon drawn into it.
TEST_F(FileMenu, OneSelectedRowOffersBrowsingAndMergeTwoOnlyMergeEscapeRunsNothing) {
    Open();
    Choose(RightClick(0, 1), -1);  // the library is loaded once per process
    HWND menu = RightClick(0, 1);
    ASSERT_TRUE(menu);
    EXPECT_EQ(Items(menu), (std::vector<std::wstring>{L"Browse to Source file in New Window",
                                                      L"Browse to Branched file in New Window", L"Merge"}));
    const HMENU handle = MenuOf(menu);
    const HBITMAP picture = MergePicture(handle);
    ASSERT_TRUE(picture) << "Merge has its picture";
    Choose(menu, -1);
    EXPECT_FALSE(::IsMenu(handle));
    EXPECT_EQ(::GetObjectType(picture), 0u);
    EXPECT_EQ(Read(L"explorer.log"), "");
    EXPECT_FALSE(MergeWindow());
    Select({0, 1});
    menu = RightClick(1, 2);
    ASSERT_TRUE(menu);
    EXPECT_EQ(Items(menu), std::vector<std::wstring>{L"Merge"});
    Choose(menu, -1);
}

TEST_F(FileMenu, NoMenuOnTheTypeCellOrBelowTheLastRow) {
    Open();
    for (auto [row, column] : {std::pair{0, 0}, std::pair{-1, 1}})
        EXPECT_FALSE(RightClick(row, column)) << row << "," << column;
}

TEST_F(FileMenu, BrowseOpensExplorerAtTheFileOrItsNearestFolder) {
    const struct { int row, item; std::wstring arguments; } cases[] = {
        {0, 0, L"/e,/select,\"" + kRoot + L"src\\ondisk.txt\""},
        {1, 0, L"/e,/select,\"" + kRoot + L"src\\vaultonly.txt\""},  // only the vault knows it
        {2, 0, L"/e,\"" + kRoot + L"src\\\""},                      // known nowhere
        {0, 1, L"/e,\"" + kRoot + L"\""},                           // the branched file
    };
    Open();
    ScopedKernelHandle recorded(::CreateEventW(nullptr, FALSE, FALSE, L"LineageExplorerRecorded"));
    for (const auto& c : cases) {
        HWND menu = RightClick(c.row, 1);
        ASSERT_TRUE(menu) << c.row;
        Choose(menu, c.item);
        ASSERT_EQ(::WaitForSingleObject(recorded.get(), 20000), WAIT_OBJECT_0) << c.row;
        const std::string log = Read(L"explorer.log");
        EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(log.data()), log.size() / 2), c.arguments);
    }
}

TEST_F(FileMenu, MergeHandsTheSelectedBranchFilesInListOrder) {
    Open();
    Select({0, 2});
    Choose(RightClick(2, 1), 0);
    EXPECT_EQ(Read(L"merge.log"), "Engineering\t2\t11/2\t13/4\n");
    ASSERT_TRUE(MergeWindow());
    ::SendMessageW(MergeWindow(), WM_CLOSE, 0, 0);
}

TEST_F(FileMenu, AMergeThatCannotRunIsSilent) {
    constexpr CLSID kShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    const struct { const char* what; const wchar_t* vaultName; CLSID treatAs; bool registered; } cases[] = {{"unregistered", L"Engineering", CLSID_NULL, false},
                 {"without the merge interface", L"Engineering", kShellLink, true},
                 {"merge refused (no vault name)", L"", CLSID_NULL, true}};
    for (const auto& c : cases) {
        if (!c.registered) {
            ASSERT_EQ(MergeServer("DllUnregisterServer"), S_OK);
        }
        ::CoTreatAsClass(CLSID_LedgerixMerge, c.treatAs);
        Open(c.vaultName);
        const auto rows = ColumnTexts(m_list, 1);
        Choose(RightClick(0, 1), 2);
        EXPECT_TRUE(::IsWindowVisible(m_session->Dialog()) && ColumnTexts(m_list, 1) == rows) << c.what;
        EXPECT_FALSE(MergeWindow()) << c.what;
        EXPECT_EQ(Read(L"merge.log"), "") << c.what;
        ::CoTreatAsClass(CLSID_LedgerixMerge, CLSID_NULL);
        ASSERT_EQ(MergeServer("DllRegisterServer"), S_OK);
    }
}

} // namespace
