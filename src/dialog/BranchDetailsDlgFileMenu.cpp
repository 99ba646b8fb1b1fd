// The dialog's file menu: what a right-click on a row offers, and the actions behind it.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <memory>
#include <vector>
#include "contracts/ZebSettings.h"
#include "dialog/BranchDetailsDlg.h"
#include "dialog/BranchedFileItem.h"
#include "dialog/DialogTexts.h"
#include "dialog/FileActions.h"
#include "framework/CMenu.h"
#include "icons/WorkflowIcons.h"

namespace {

enum FileMenuCommand : UINT { kBrowseSource = 1, kBrowseBranched = 2, kMerge = 3 };

// A row taken from the list with its own reference, released when the action is done.
struct RowReleaser {
    void operator()(VListCtrlItem* row) const noexcept { row->Release(); }
};
using HeldRow = std::unique_ptr<VListCtrlItem, RowReleaser>;

// Records the vault answered with are the asker's to delete.
struct FoundRecords {
    Lst<DocFolderIDInfo*> list;
    FoundRecords() = default;
    FoundRecords(const FoundRecords&) = delete;
    FoundRecords& operator=(const FoundRecords&) = delete;
    ~FoundRecords() { list.ForEach([](DocFolderIDInfo* record) { delete record; }); }
};

} // namespace

void CBranchDetailsDlg::ShowFileMenu(NMHDR* notify, LRESULT* result) {
    *result = 0;
    const auto* click = reinterpret_cast<NMITEMACTIVATE*>(notify);
    if (click->iItem == -1 || click->iSubItem == 0)
        return;

    CMenu menu;
    if (!menu.CreatePopupMenu())
        return;
    // A menu short of an item still offers the others.
    if (m_list.SendMessage(LVM_GETSELECTEDCOUNT) == 1) {
        static_cast<void>(menu.AppendMenu(0, kBrowseSource, DialogText(9, L"Browse to Source file in New Window").c_str()));
        static_cast<void>(menu.AppendMenu(0, kBrowseBranched, DialogText(13, L"Browse to Branched file in New Window").c_str()));
    }
    static_cast<void>(menu.AppendMenu(0, kMerge, DialogText(10, L"Merge").c_str()));

    int choice = 0;
    {
        const CSize size = CDPIHelper::get()->getDesiredBitmapImageSize(kivImageUseSmall, CSize(0, 0));
        ScopedHICON icon(LoadWfPngIcon(L"PNG_MERGE", kivImageUseSmall));
        std::unique_ptr<CBitmap> bitmap = MakeMenuBitmap(icon.get(), size.cx, size.cy);
        const HBITMAP picture = bitmap ? bitmap->GetSafeHandle() : nullptr;
        static_cast<void>(menu.SetMenuItemBitmaps(kMerge, MF_BYCOMMAND, picture, picture));  // none: no picture
        POINT at{};
        ::GetCursorPos(&at);
        choice = menu.TrackPopupMenu(TPM_RETURNCMD | TPM_LEFTALIGN, at.x, at.y, m_hWnd);
    }

    switch (choice) {
    case kBrowseSource:
        BrowseToFile(1);
        break;
    case kBrowseBranched:
        BrowseToFile(2);
        break;
    case kMerge:
        MergeSelected();
        break;
    default:
        break;  // dismissed
    }
}

void CBranchDetailsDlg::BrowseToFile(int which) {
    std::vector<int> selected;
    if (!m_list.GetSelectedIndices(selected) || selected.size() != 1)
        return;
    HeldRow held(m_list.GetRow(selected.front(), false));
    const auto* row = static_cast<const BranchedFileItem*>(held.get());
    const bool branched = which == 2;
    std::wstring path(branched ? row->BranchPath() : row->SourcePath());

    std::wstring arguments;
    if (IsFilePresent(*row, branched)) {
        arguments = ExplorerSelectArguments(path);
    } else {
        TrimToExistingFolder(path);
        arguments = ExplorerFolderArguments(path);
    }
    // Explorer reports nothing worth showing: whether it opens is the user's to see.
    ::ShellExecuteW(nullptr, L"Open", L"Explorer.exe", arguments.c_str(), nullptr, SW_SHOWNORMAL);
}

bool CBranchDetailsDlg::IsFilePresent(const BranchedFileItem& row, bool branched) {
    const std::wstring path(branched ? row.BranchPath() : row.SourcePath());
    if (::PathFileExistsW(path.c_str()))
        return true;

    auto* documents = m_pSpMgr ? static_cast<SpDocument*>(m_pSpMgr->mpoGetProc(SpProcId::Document)) : nullptr;
    if (!documents)
        return false;
    DocFolderIDInfo asked;
    asked.folderId = branched ? row.branchFolderId : row.sourceFolderId;
    asked.fileName = branched ? row.BranchName() : row.SourceName();
    asked.localPath = path;
    Lst<DocFolderIDInfo*> query;
    query.AddTail(&asked);
    FoundRecords found;
    return documents->mhGetFileExist(query, found.list) == 0 && !found.list.IsEmpty();
}

void CBranchDetailsDlg::MergeSelected() {
    std::vector<int> selected;
    if (!m_list.GetSelectedIndices(selected))
        return;
    std::vector<MergeSelection> records;
    records.reserve(selected.size());
    for (int position : selected) {
        HeldRow held(m_list.GetRow(position, false));
        const auto* row = static_cast<const BranchedFileItem*>(held.get());
        records.push_back(MakeMergeSelection(row->branchDocId, row->branchFolderId));
    }
    // Whatever the component or COM refuses, the dialog stays as it was: nothing to show.
    static_cast<void>(MergeBranchFiles(m_strVaultName, records));
}
