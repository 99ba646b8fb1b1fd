// "Open as CSV" from the real dialog: the file holds the branch's header and the rows in the
// order the user sorted; a file that cannot be written is reported over the dialog.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "BranchDialog.h"
#include "SpreadsheetStandIns.h"

using namespace lineage_test;

namespace {

VaultBranch Release() {
    return {7, L"Release", L"anna", 32104.6152314815,
            {BranchFile(1, 101, L"one.txt", L"b\\", L"B\\"), BranchFile(2, 102, L"two.txt", L"c\\", L"B\\", true),
             BranchFile(3, 103, L"three.txt", L"a\\", L"B\\")}};
}

TEST(DialogExport, OpenAsCsvWritesTheHeaderAndTheRowsInTheOrderTheListShows) {
    RecordingOpener shell;
    ExcelStandIn excel;
    BranchDialog dialog(Release());
    // Sort by "Source File", descending: a click, then a second one.
    HWND header = reinterpret_cast<HWND>(::SendMessageW(dialog.List(), LVM_GETHEADER, 0, 0));
    RECT item{};
    ::SendMessageW(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    for (int click = 0; click < 2; ++click) {
        ::PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(header, WM_LBUTTONUP, 0, at);
    }
    ::PostMessageW(dialog->Dialog(), WM_COMMAND, ID_OPEN_AS_CSV, 0);
    dialog->Sync();
    EXPECT_EQ(ReadBytes(excel.ImportedCopy()),
              Utf16File({L"Branch Name: Release", L"Created By: anna", L"Created On: Nov 23 1987 02:45 PM",
                         L"Index;Source File;Branch File;Shared", L"1;C:\\vault\\c\\two.txt;C:\\vault\\B\\two.txt;Yes",
                         L"2;C:\\vault\\b\\one.txt;C:\\vault\\B\\one.txt;",
                         L"3;C:\\vault\\a\\three.txt;C:\\vault\\B\\three.txt;"}));
}

// The message box the dialog's thread shows, or null.
HWND MessageBoxOf(DialogSession& session) {
    std::pair<HWND, HWND> search{session.Dialog(), nullptr};
    ::EnumThreadWindows(session.ThreadId(), [](HWND wnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<std::pair<HWND, HWND>*>(param);
        wchar_t cls[16] = {};
        ::GetClassNameW(wnd, cls, 16);
        if (wnd != s->first && std::wstring(cls) == L"#32770" && ::IsWindowVisible(wnd))
            s->second = wnd;
        return !s->second;
    }, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

TEST(DialogExport, AFailedWriteIsReportedOverTheDialogAndTheHostThreadEndsCleanlyEachTime) {
    ScratchFolder folder;
    // Twice: a thread that ended badly after the first failure would hang the second.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        BranchDialog dialog(Release());
        {
            ScopedTempFolder missing(folder.Path() + L"\\missing\\");
            ::PostMessageW(dialog->Dialog(), WM_COMMAND, ID_OPEN_AS_CSV, 0);
            dialog->Sync();  // taken by the message box's own loop
        }
        HWND box = MessageBoxOf(*dialog);
        ASSERT_TRUE(box) << "no message box";
        EXPECT_EQ(WindowText(::GetDlgItem(box, 0xFFFF)), L"Failed to create file.");
        EXPECT_EQ(::GetWindow(box, GW_OWNER), dialog->Dialog());
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        dialog->Sync();
        EXPECT_FALSE(::IsWindow(box));
        dialog->PressClose();
        ASSERT_TRUE(dialog->WaitForReturn());
    }
}

} // namespace
