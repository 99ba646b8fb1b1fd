// An export that cannot write its file, from the real dialog: the user sees the message, and
// the dialog's thread (the host's) ends cleanly afterwards.
#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include <string>
#include "DialogSession.h"
#include "TestVault.h"
#include "dbcall/VaultData.h"

using namespace lineage_test;

namespace {

// Points the temporary folder at one that does not exist, for this process, while it lives.
class MissingTemporaryFolder {
public:
    MissingTemporaryFolder() {
        m_saved.resize(MAX_PATH);
        m_saved.resize(::GetEnvironmentVariableW(L"TMP", m_saved.data(), MAX_PATH));
        ::SetEnvironmentVariableW(L"TMP", L"C:\\lineage-no-such-folder\\");
    }
    MissingTemporaryFolder(const MissingTemporaryFolder&) = delete;
    MissingTemporaryFolder& operator=(const MissingTemporaryFolder&) = delete;
    ~MissingTemporaryFolder() { ::SetEnvironmentVariableW(L"TMP", m_saved.empty() ? nullptr : m_saved.c_str()); }
private:
    std::wstring m_saved;
};

// The message box the dialog's thread shows, or null.
HWND MessageBoxOf(DWORD thread, HWND dialog) {
    struct Search { HWND dialog; HWND found; } search{dialog, nullptr};
    ::EnumThreadWindows(
        thread,
        [](HWND wnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            wchar_t cls[16] = {};
            ::GetClassNameW(wnd, cls, 16);
            if (wnd == s->dialog || std::wstring(cls) != L"#32770" || !::IsWindowVisible(wnd))
                return TRUE;
            s->found = wnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST(DialogExportFailure, ShowsTheMessageAndTheHostThreadEndsCleanlyEachTime) {
    auto data = std::make_shared<VaultData>();
    VaultBranch branch;
    branch.id = 7;
    branch.name = L"R";
    VaultBranchFile file;
    file.sourceName = file.branchName = L"a.txt";
    branch.files = {file};
    data->branches.push_back(branch);
    std::unique_ptr<SpMgr> spMgr = CreateVaultSpMgr(data);
    TestVault vault(L"Engineering", L"C:\\v\\");

    // Twice: a thread that ended badly after the first failure would hang the second.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        DialogSession::Args args;
        args.branchId = 7;
        args.spMgr = spMgr.get();
        args.vault = &vault;
        DialogSession session(args);
        ASSERT_TRUE(session.WaitForDialog());
        {
            MissingTemporaryFolder missing;
            ::PostMessageW(session.Dialog(), WM_COMMAND, 4007, 0);
            session.Sync();  // taken by the message box's own loop
        }
        HWND box = MessageBoxOf(session.ThreadId(), session.Dialog());
        ASSERT_TRUE(box) << "no message box";
        EXPECT_EQ(WindowText(::GetDlgItem(box, 0xFFFF)), L"Failed to create file.");
        EXPECT_EQ(::GetWindow(box, GW_OWNER), session.Dialog());
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        session.Sync();
        EXPECT_FALSE(::IsWindow(box));
        session.PressClose();
        ASSERT_TRUE(session.WaitForReturn());
    }
}

} // namespace
