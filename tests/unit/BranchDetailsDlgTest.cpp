#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include "TestVault.h"
#include "dbcall/VaultData.h"
#include "dialog/BranchDetailsDlg.h"
#include "dialog/BranchedFileItem.h"
#include "framework/AfxModuleState.h"
#include "module/resource.h"
#include "toolkit/RefPtr.h"

namespace {

RefPtr<BranchedFileItem> Row(const wchar_t* sourceName, bool shared = false) {
    RefPtr<BranchedFileItem> row(new BranchedFileItem(L"C:\\v\\", 1, 2, 0, 3, 0.0, 4, sourceName, L"copy.txt",
                                                      L"src\\", L"br\\", shared));
    row->Release();  // the RefPtr holds the only reference, as the list would
    return row;
}

std::wstring Cells(BranchedFileItem& row, int size) {
    std::wstring cells;
    for (int column = 0; column < 4; ++column) {
        std::wstring buffer(size, L'?');
        row.GetText(column, buffer.data(), size);
        cells += buffer.c_str() + std::wstring(L"|");
    }
    return cells;
}

TEST(BranchedFileItem, CellsAreCutToTheBufferAndTheTypeOrderFollowsTheLastExtension) {
    auto shared = Row(L"archive.tar.GZ", true);
    EXPECT_EQ(Cells(*shared, 64), L"|C:\\v\\src\\archive.tar.GZ|C:\\v\\br\\copy.txt|Yes|");
    EXPECT_EQ(Cells(*shared, 8) + Cells(*Row(L"a.txt"), 8), L"|C:\\v\\sr|C:\\v\\br|Yes||C:\\v\\sr|C:\\v\\br||");
    EXPECT_EQ(shared->GetColumnImage(0) + shared->GetColumnImage(1), -2) << "without the dialog's images";
    // The Type column (key 1 or -1) compares extensions without case; other columns compare texts.
    const struct { const wchar_t *a, *b; int key, sign; } rows[] = {
        {L"a.doc", L"z.PDF", 1, -1}, {L"a.doc", L"z.PDF", -1, 1}, {L"z.PDF", L"b.pdf", 1, 0},
        {L"README", L"a.doc", 1, -1}, {L"archive.tar.GZ", L"x.tar", 1, -1}, {L"z.PDF", L"a.doc", 2, 1}};
    for (const auto& row : rows) {
        const int result = Row(row.a)->Compare(*Row(row.b), row.key);
        EXPECT_EQ((result > 0) - (result < 0), row.sign) << ::testing::PrintToString(row.a) << " key " << row.key;
    }
}

long g_rowsWhileOpen = -1;

// Closes the dialog once its initialisation has run, noting how many rows were alive then.
LRESULT CALLBACK CloseWhenUp(int code, WPARAM wp, LPARAM lp) {
    auto* info = reinterpret_cast<CWPRETSTRUCT*>(lp);
    if (code == HC_ACTION && info->message == WM_INITDIALOG) {
        g_rowsWhileOpen = BranchedFileItem::LiveCount();
        ::PostMessageW(info->hwnd, WM_COMMAND, IDC_CLOSE, 0);
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

TEST(BranchDetailsDlg, ReleasesEveryRowItMadeWhenDestroyed) {
    ScopedHMODULE module(::LoadLibraryExW(L"Lineage.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module);
    AfxResourceHandleScope resources(module.get());
    auto data = std::make_shared<VaultData>();
    data->branches.push_back(VaultBranch{7, L"R", L"", 0.0, {}});
    for (int i = 0; i < 50; ++i)
        data->branches[0].files.push_back({i, 0, 0, 0, L"f.txt", L"f.txt", L"", L"", i == 3});
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
}

} // namespace
