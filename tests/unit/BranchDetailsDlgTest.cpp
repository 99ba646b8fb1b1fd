// The dialog class on its own thread-free path: run modally here with the module's template,
// closed as soon as it is up, and every row it made released with it.
#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include "TestVault.h"
#include "dbcall/VaultData.h"
#include "dialog/BranchDetailsDlg.h"
#include "dialog/BranchedFileItem.h"
#include "framework/AfxModuleState.h"

namespace {

long g_rowsWhileOpen = -1;

// Closes the dialog once its initialisation has run, noting how many rows were alive then.
LRESULT CALLBACK CloseWhenUp(int code, WPARAM wp, LPARAM lp) {
    auto* info = reinterpret_cast<CWPRETSTRUCT*>(lp);
    if (code == HC_ACTION && info->message == WM_INITDIALOG) {
        g_rowsWhileOpen = BranchedFileItem::LiveCount();
        ::PostMessageW(info->hwnd, WM_COMMAND, 4001, 0);
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

TEST(BranchDetailsDlg, ReleasesEveryRowItMadeWhenDestroyed) {
    HMODULE module = ::LoadLibraryExW(L"Lineage.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module);
    AfxResourceHandleScope resources(module);

    auto data = std::make_shared<VaultData>();
    VaultBranch branch;
    branch.id = 7;
    branch.name = L"R";
    for (int i = 0; i < 50; ++i) {
        VaultBranchFile file;
        file.sourceDocId = i;
        file.sourceName = file.branchName = L"f.txt";
        file.shared = i == 3;
        branch.files.push_back(file);
    }
    data->branches.push_back(branch);
    std::unique_ptr<SpMgr> spMgr = CreateVaultSpMgr(data);
    lineage_test::TestVault vault(L"Engineering", L"C:\\v\\");

    const long before = BranchedFileItem::LiveCount();
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, &CloseWhenUp, nullptr, ::GetCurrentThreadId());
    {
        CBranchDetailsDlg dialog(nullptr);
        dialog.Init(7, 7, spMgr.get(), &vault);
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
    ::UnhookWindowsHookEx(hook);
    EXPECT_EQ(g_rowsWhileOpen, before + 50);
    EXPECT_EQ(BranchedFileItem::LiveCount(), before);
    ::FreeLibrary(module);
}

} // namespace
