// A branched file's row on its own, and the dialog class run modally here with the module's
// template: every row it made is released with it.
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

std::wstring Cell(BranchedFileItem& row, int column) {
    wchar_t buffer[8];
    row.GetText(column, buffer, 8);
    return buffer;
}

TEST(BranchedFileItem, CellsAreCutToTheBufferAndTheTypeOrderFollowsTheExtension) {
    auto row = Row(L"archive.tar.GZ", true);
    EXPECT_EQ(std::wstring(row->VaultRoot()) + L"|" + std::wstring(row->SourceFolder()) + L"|" +
                  std::wstring(row->SourceName()) + L"|" + std::wstring(row->BranchPath()),
              L"C:\\v\\|src\\|archive.tar.GZ|C:\\v\\br\\copy.txt");
    EXPECT_EQ(std::wstring(row->BranchFolder()) + std::wstring(row->BranchName()), L"br\\copy.txt");
    EXPECT_EQ(std::wstring(row->Extension()) + L"|" + std::wstring(Row(L"Makefile")->Extension()), L"GZ|");
    EXPECT_EQ(Cell(*row, 1) + L"|" + Cell(*row, 2) + L"|" + Cell(*row, 3) + L"|" + Cell(*row, 0), L"C:\\v\\sr|C:\\v\\br|Yes|");
    EXPECT_EQ(Cell(*Row(L"a.txt"), 3), L"");
    EXPECT_EQ(row->GetColumnImage(0) + row->GetColumnImage(1), -2) << "without the dialog's images";

    auto pdf = Row(L"z.PDF"), doc = Row(L"a.doc"), pdfLower = Row(L"b.pdf"), none = Row(L"README");
    EXPECT_LT(doc->Compare(*pdf, 1), 0);
    EXPECT_GT(doc->Compare(*pdf, -1), 0);
    EXPECT_EQ(pdf->Compare(*pdfLower, 1), 0);
    EXPECT_LT(none->Compare(*doc, 1), 0);
    EXPECT_GT(pdf->Compare(*doc, 2), 0) << "other columns compare their texts";
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
