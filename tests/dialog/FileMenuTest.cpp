#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <filesystem>
#include <fstream>
#include "DialogSession.h"
#include "TestVault.h"
#include "contracts/MergeComponent.h"
#include "dbcall/VaultData.h"
#include "module/resource.h"

using namespace lineage_test;

namespace {

const std::wstring kRoot = std::filesystem::temp_directory_path().wstring() + L"lineage-filemenu\\";
constexpr wchar_t kExplorer[] = L"C:\\windows\\system32\\explorer.exe";
constexpr wchar_t kWindowsExplorer[] = L"C:\\windows\\explorer.exe";

HRESULT MergeServer(const char* entry) {
    ScopedHMODULE server(::LoadLibraryW((ExecutableFolder() + L"LedgerixMerge.dll").c_str()));
    auto call = server ? reinterpret_cast<HRESULT(WINAPI*)()>(::GetProcAddress(server.get(), entry)) : nullptr;
    return call ? call() : E_FAIL;
}

std::string Read(const wchar_t* log) {
    std::ifstream file(std::filesystem::path(kRoot + log), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// Rows: a file on disk (the focus row), one only the vault knows, one known nowhere.
class FileMenu : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(kRoot + L"src");
        std::ofstream(std::filesystem::path(kRoot + L"src\\ondisk.txt")) << "x";
        auto data = std::make_shared<VaultData>();
        data->root = kRoot;
        data->documents.push_back({2, 1, L"vaultonly.txt", L"src\\"});
        auto file = [](int id, const wchar_t* name, const wchar_t* folder) {
            return VaultBranchFile{id, 1, 10 + id, id + 1, name, name, folder, L"br\\"};
        };
        data->branches.push_back({7, L"R", L"", 0,
                                  {file(1, L"ondisk.txt", L"src\\"), file(2, L"vaultonly.txt", L"src\\"),
                                   file(3, L"nowhere.txt", L"src\\gone\\deeper\\")}});
        m_spMgr = CreateVaultSpMgr(data);
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

    void Open(const wchar_t* vaultName = L"Engineering") {
        m_session.reset();
        m_vault = std::make_unique<TestVault>(vaultName, kRoot.c_str());
        m_session = std::make_unique<DialogSession>(DialogSession::Args{1, 7, m_spMgr.get(), m_vault.get()});
        ASSERT_TRUE(m_session->WaitForDialog());
        m_list = m_session->Item(IDC_FILE_LIST);
    }
    // Selects `rows` and right-clicks the cell (row -1: below the last row); the menu it opened.
    HWND RightClick(std::initializer_list<int> rows, int row, int column) {
        LVITEMW none{0, 0, 0, 0, LVIS_SELECTED}, selected{0, 0, 0, LVIS_SELECTED, LVIS_SELECTED};
        ::SendMessageW(m_list, LVM_SETITEMSTATE, -1, reinterpret_cast<LPARAM>(&none));
        for (int each : rows)
            ::SendMessageW(m_list, LVM_SETITEMSTATE, each, reinterpret_cast<LPARAM>(&selected));
        RECT cell{LVIR_LABEL, column};
        ::SendMessageW(m_list, LVM_GETSUBITEMRECT, row < 0 ? ItemCount(m_list) - 1 : row, LPARAM(&cell));
        const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2,
                                     row < 0 ? cell.bottom + 10 : (cell.top + cell.bottom) / 2);
        ::PostMessageW(m_list, WM_RBUTTONDOWN, MK_RBUTTON, at);
        ::PostMessageW(m_list, WM_RBUTTONUP, 0, at);
        m_session->Sync();
        for (HWND menu = nullptr; (menu = ::FindWindowExW(nullptr, menu, L"#32768", nullptr));)
            if (::IsWindowVisible(menu))
                return menu;
        return nullptr;
    }
    // Item `position` by the keyboard, or Escape for -1; answers once the choice is acted on.
    void Choose(HWND menu, int position) {
        for (int i = 0; i <= position; ++i)
            ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        // The menu acts on Enter's character (queued behind anything posted after the key): post that.
        ::PostMessageW(menu, position < 0 ? WM_KEYDOWN : WM_CHAR, position < 0 ? VK_ESCAPE : L'\r', 0);
        m_session->Sync();
    }

    std::unique_ptr<SpMgr> m_spMgr;
    std::unique_ptr<TestVault> m_vault;
    std::unique_ptr<DialogSession> m_session;
    HWND m_list = nullptr;
};

// Escape runs nothing and frees the menu and its picture; no menu off the file names.
TEST_F(FileMenu, OneRowOffersBrowsingAndMergeTwoOnlyMergeBrowseOpensExplorerAndMergeHandsTheSelection) {
    Open();
    const struct { std::initializer_list<int> rows; int row, column; std::vector<std::wstring> items; } cases[] = {
        {{0}, 0, 1, {L"Browse to Source file in New Window", L"Browse to Branched file in New Window", L"Merge"}},
        {{0, 1}, 1, 2, {L"Merge"}},
        {{0}, 0, 0, {}},
        {{0}, -1, 1, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.row << "," << c.column);
        HWND menu = RightClick(c.rows, c.row, c.column);
        ASSERT_EQ(menu != nullptr, !c.items.empty());
        if (!menu)
            continue;
        const auto handle = reinterpret_cast<HMENU>(::SendMessageW(menu, MN_GETHMENU, 0, 0));
        std::vector<std::wstring> items;
        for (wchar_t text[100]; ::GetMenuStringW(handle, items.size(), text, 100, MF_BYPOSITION);)
            items.push_back(text);
        EXPECT_EQ(items, c.items);
        MENUITEMINFOW merge{sizeof(merge), MIIM_CHECKMARKS};
        ASSERT_TRUE(::GetMenuItemInfoW(handle, 3, FALSE, &merge) && merge.hbmpUnchecked) << "Merge's picture";
        Choose(menu, -1);
        EXPECT_FALSE(::IsMenu(handle));
        EXPECT_EQ(::GetObjectType(merge.hbmpUnchecked), 0u);
    }
    EXPECT_EQ(Read(L"explorer.log") + Read(L"merge.log"), "");
    EXPECT_FALSE(::FindWindowW(nullptr, L"Merge"));
    const struct { int row, item; std::wstring arguments; } browses[] = {
        {0, 0, L"/e,/select,\"" + kRoot + L"src\\ondisk.txt\""},
        {1, 0, L"/e,/select,\"" + kRoot + L"src\\vaultonly.txt\""},  // only the vault knows it
        {2, 0, L"/e,\"" + kRoot + L"src\\\""},                      // known nowhere
        {0, 1, L"/e,\"" + kRoot + L"\""},                           // the branched file
    };
    ScopedKernelHandle recorded(::CreateEventW(nullptr, FALSE, FALSE, L"LineageExplorerRecorded"));
    for (const auto& c : browses) {
        HWND menu = RightClick({c.row}, c.row, 1);
        ASSERT_TRUE(menu) << c.row;
        Choose(menu, c.item);
        ASSERT_EQ(::WaitForSingleObject(recorded.get(), 20000), WAIT_OBJECT_0) << c.row;
        const std::string log = Read(L"explorer.log");
        EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(log.data()), log.size() / 2), c.arguments);
    }
    // Merge hands the selected branch files in list order; a merge that cannot run is silent.
    constexpr CLSID kShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    const struct { const wchar_t* vaultName; CLSID treatAs; bool registered; const char* log; } merges[] = {
        {L"Engineering", CLSID_NULL, true, "Engineering\t2\t11/2\t13/4\n"},
        {L"Engineering", CLSID_NULL, false, ""},
        {L"Engineering", kShellLink, true, ""},  // without the merge interface
        {L"", CLSID_NULL, true, ""}};            // refused: no vault name
    for (const auto& c : merges) {
        SCOPED_TRACE(&c - merges);
        ASSERT_EQ(c.registered ? S_OK : MergeServer("DllUnregisterServer"), S_OK);
        ::CoTreatAsClass(CLSID_LedgerixMerge, c.treatAs);
        Open(c.vaultName);
        const auto rows = ColumnTexts(m_list, 1);
        Choose(RightClick({0, 2}, 2, 1), 0);
        EXPECT_TRUE(::IsWindowVisible(m_session->Dialog()) && ColumnTexts(m_list, 1) == rows);
        EXPECT_EQ(Read(L"merge.log"), c.log);
        HWND merge = ::FindWindowW(nullptr, L"Merge");
        EXPECT_EQ(merge != nullptr, *c.log != 0);
        if (merge)
            ::SendMessageW(merge, WM_CLOSE, 0, 0);
        ::CoTreatAsClass(CLSID_LedgerixMerge, CLSID_NULL);
        ASSERT_EQ(MergeServer("DllRegisterServer"), S_OK);
        ::DeleteFileW((kRoot + L"merge.log").c_str());
    }
}

} // namespace
