// The dialog's window icons and the list's file menu: browsing in Explorer and the merge.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
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

const std::wstring kRoot = [] {
    wchar_t temp[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"lineage-filemenu\\";
}();

VaultBranchFile File(int id, int branchFolderId, const wchar_t* name, const wchar_t* sourceFolder) {
    VaultBranchFile f;
    f.sourceDocId = id;
    f.sourceFolderId = 1;
    f.branchDocId = 10 + id;
    f.branchFolderId = branchFolderId;
    f.sourceName = f.branchName = name;
    f.sourceFolder = sourceFolder;
    f.branchFolder = L"br\\";
    return f;
}

// Rows: a file on disk (the focus row), one only the vault knows, one known nowhere.
class FileMenuBase : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(ShowBranchDetailsEntry(), nullptr);
        ::CreateDirectoryW(kRoot.c_str(), nullptr);
        ::CreateDirectoryW((kRoot + L"src").c_str(), nullptr);
        std::ofstream(std::filesystem::path(kRoot + L"src\\ondisk.txt")) << "x";
        m_data->root = kRoot;
        m_data->documents.push_back({2, 1, L"vaultonly.txt", L"src\\"});
        VaultBranch branch;
        branch.id = 7;
        branch.files = {File(1, 2, L"ondisk.txt", L"src\\"), File(2, 3, L"vaultonly.txt", L"src\\"),
                        File(3, 4, L"nowhere.txt", L"src\\gone\\deeper\\")};
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
        BITMAP bitmap{};
        ::GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, edge) << kind;
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
    }
}

TEST_F(WindowIcons, DISABLED_OpensWithoutIconsWhenTheLibraryIsMissing) {
    ASSERT_TRUE(IsTestChild());
    Open();
    EXPECT_FALSE(::SendMessageW(m_session->Dialog(), WM_GETICON, ICON_SMALL, 0));
    EXPECT_FALSE(::SendMessageW(m_session->Dialog(), WM_GETICON, ICON_BIG, 0));
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
        for (const wchar_t* log : {L"explorer.log", L"merge.log"})
            ::DeleteFileW((kRoot + log).c_str());
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
        const int y = row < 0 ? cell.bottom + 10 : (cell.top + cell.bottom) / 2;  // row -1: below the last
        const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, y);
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
        HMENU menu = MenuOf(menuWindow);
        std::vector<std::wstring> items;
        wchar_t text[100] = L"";
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i)
            if (::GetMenuStringW(menu, i, text, 100, MF_BYPOSITION))
                items.push_back(text);
        return items;
    }
    // Item `position` by the keyboard, or Escape for -1; answers once the choice is acted on.
    void Choose(HWND menu, int position) {
        for (int i = 0; i <= position; ++i)
            ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        // The menu acts on Enter's character, which Escape does not wait for.
        if (position < 0)
            ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        else
            ::PostMessageW(menu, WM_CHAR, L'\r', 0);
        m_session->Sync();
    }
    void Select(std::initializer_list<int> rows) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED;
        ::SendMessageW(m_list, LVM_SETITEMSTATE, -1, reinterpret_cast<LPARAM>(&state));
        state.state = LVIS_SELECTED;
        for (int row : rows)
            ::SendMessageW(m_list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    }
    static std::string Read(const wchar_t* log) {
        std::ifstream f(std::filesystem::path(kRoot + log), std::ios::binary);
        return {std::istreambuf_iterator<char>(f), {}};
    }
    static HWND MergeWindow() { return ::FindWindowW(nullptr, L"Merge"); }

    static constexpr const wchar_t* kExplorer = L"C:\\windows\\system32\\explorer.exe";
    static constexpr const wchar_t* kWindowsExplorer = L"C:\\windows\\explorer.exe";
};

TEST_F(FileMenu, OneSelectedRowOffersBrowsingAndMergeTwoOnlyMerge) {
    Open();
    HWND menu = RightClick(0, 1);
    ASSERT_TRUE(menu);
    EXPECT_EQ(Items(menu), (std::vector<std::wstring>{L"Browse to Source file in New Window",
                                                      L"Browse to Branched file in New Window", L"Merge"}));
    EXPECT_TRUE(MergePicture(MenuOf(menu))) << "Merge has its picture";
    Choose(menu, -1);
    Select({0, 1});
    menu = RightClick(1, 2);
    ASSERT_TRUE(menu);
    EXPECT_EQ(Items(menu), std::vector<std::wstring>{L"Merge"});
    Choose(menu, -1);
}

TEST_F(FileMenu, NoMenuOnTheTypeCellOrBelowTheLastRow) {
    Open();
    for (auto [row, column] : {std::pair{0, 0}, std::pair{-1, 1}}) {
        EXPECT_FALSE(RightClick(row, column)) << row << "," << column;
        EXPECT_TRUE(::IsWindowEnabled(m_session->Dialog()));
    }
}

TEST_F(FileMenu, EscapeRunsNothingAndFreesWhatTheMenuMade) {
    Open();
    Choose(RightClick(0, 1), -1);  // the library is loaded once per process
    const int icons = LiveIconCount();
    HWND menu = RightClick(0, 1);
    ASSERT_TRUE(menu);
    HMENU handle = MenuOf(menu);
    HBITMAP picture = MergePicture(handle);
    ASSERT_TRUE(picture);
    Choose(menu, -1);
    EXPECT_FALSE(::IsMenu(handle));
    EXPECT_EQ(::GetObjectType(picture), 0u) << "the picture is deleted";
    EXPECT_EQ(LiveIconCount(), icons);
    EXPECT_EQ(Read(L"explorer.log"), "");
    EXPECT_FALSE(MergeWindow());
}

TEST_F(FileMenu, BrowseOpensExplorerAtTheFileOrItsNearestFolder) {
    const struct {
        int row, item;
        std::wstring arguments;
    } cases[] = {
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
    const struct {
        const char* what;
        const wchar_t* vaultName;
        CLSID treatAs;
        bool registered;
    } cases[] = {{"unregistered", L"Engineering", CLSID_NULL, false},
                 {"without the merge interface", L"Engineering", kShellLink, true},
                 {"merge refused (no vault name)", L"", CLSID_NULL, true}};
    for (const auto& c : cases) {
        if (!c.registered) {
            ASSERT_EQ(MergeServer("DllUnregisterServer"), S_OK);
        }
        ::CoTreatAsClass(CLSID_LedgerixMerge, c.treatAs);
        Open(c.vaultName);
        const auto rows = ReadRows(m_list);
        Choose(RightClick(0, 1), 2);
        EXPECT_TRUE(::IsWindowVisible(m_session->Dialog())) << c.what;
        EXPECT_EQ(ReadRows(m_list), rows) << c.what;
        EXPECT_FALSE(MergeWindow()) << c.what;
        EXPECT_EQ(Read(L"merge.log"), "") << c.what;
        ::CoTreatAsClass(CLSID_LedgerixMerge, CLSID_NULL);
        ASSERT_EQ(MergeServer("DllRegisterServer"), S_OK);
    }
}

} // namespace
