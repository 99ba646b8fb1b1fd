// "Open as CSV" from the real dialog: the file holds the rows in the order the user sorted.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <memory>
#include "DialogSession.h"
#include "SpreadsheetStandIns.h"
#include "TestVault.h"
#include "dbcall/VaultData.h"

using namespace lineage_test;

namespace {

VaultBranchFile File(int id, const wchar_t* sourceFolder, const wchar_t* name, bool shared) {
    VaultBranchFile f;
    f.sourceDocId = id;
    f.branchDocId = 100 + id;
    f.sourceName = f.branchName = name;
    f.sourceFolder = sourceFolder;
    f.branchFolder = L"B\\";
    f.shared = shared;
    return f;
}

TEST(DialogExport, OpenAsCsvWritesTheRowsInTheOrderTheListShows) {
    RecordingOpener shell;
    ExcelStandIn excel;
    excel.Version(L"10.0");
    excel.Settings().ListSeparator(L";");

    auto data = std::make_shared<VaultData>();
    VaultBranch branch;
    branch.id = 7;
    branch.name = L"Release";
    branch.creator = L"anna";
    branch.files = {File(1, L"b\\", L"one.txt", false), File(2, L"c\\", L"two.txt", true),
                    File(3, L"a\\", L"three.txt", false)};
    data->branches.push_back(branch);
    std::unique_ptr<SpMgr> spMgr = CreateVaultSpMgr(data);
    TestVault vault(L"Engineering", L"R:\\");
    DialogSession::Args args;
    args.branchId = 7;
    args.spMgr = spMgr.get();
    args.vault = &vault;
    DialogSession session(args);
    ASSERT_TRUE(session.WaitForDialog());

    // Sort by "Source File", descending: a click, then a second one.
    HWND header = reinterpret_cast<HWND>(::SendMessageW(session.Item(4004), LVM_GETHEADER, 0, 0));
    RECT item{};
    ::SendMessageW(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    for (int click = 0; click < 2; ++click) {
        ::PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(header, WM_LBUTTONUP, 0, at);
    }
    ::PostMessageW(session.Dialog(), WM_COMMAND, 4007, 0);
    session.Sync();

    EXPECT_EQ(ReadBytes(excel.ImportedCopy()),
              Utf16File({L"Branch Name: Release", L"Created By: anna", L"Created On: ",
                         L"Index;Source File;Branch File;Shared", L"1;R:\\c\\two.txt;R:\\B\\two.txt;Yes",
                         L"2;R:\\b\\one.txt;R:\\B\\one.txt;", L"3;R:\\a\\three.txt;R:\\B\\three.txt;"}));
}

} // namespace
