#pragma once
#include <string>
#include "contracts/Dbcall.h"
#include "contracts/OrvVault.h"
#include "contracts/Txtres.h"
#include "base/ScopedHandle.h"
#include "framework/CDialog.h"
#include "icons/FileTypeImages.h"
#include "listview/VListCtrl.h"
#include "toolkit/Button.h"
#include "toolkit/GroupToolBar.h"
#include "toolkit/SizeGrip.h"

class BranchedFileItem;

// The branch details dialog: who made the branch and when, and every branched file.
class CBranchDetailsDlg : public CDialog, public StrWnd {
public:
    explicit CBranchDetailsDlg(CWnd* parent);
    ~CBranchDetailsDlg() override;

    // Takes the call's arguments and reads what the dialog needs of the vault; the vault
    // object is not kept.
    void Init(int focusDocId, int branchId, SpMgr* spMgr, IOrvVault5* vault);

    // Index in the list's image list of the type icon of `fileName`, or -1.
    int GetFileImageIndex(const wchar_t* fileName) { return m_fileTypes.GetFileImageIndex(fileName); }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    bool OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    bool OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) override;

private:
    void CreateSizeGrip();
    void SetLabelTexts();
    void CreateImageList();
    void InsertColumns();
    // The caption's and Alt+Tab's icons; without the icon library the dialog keeps its default.
    void LoadWindowIcons();
    // "Open as CSV" (mode 0) or "Save as CSV" (mode 1) of the list as it is shown.
    void ExportFileList(int mode);
    // Reads the branch and fills the caption, the header fields and the rows.
    void LoadBranch();
    void AddSharedColumn();
    void AnchorControls();
    // The list's right-click menu: browse to the source or branched file, merge the selection.
    void ShowFileMenu(NMHDR* notify, LRESULT* result);
    // A new Explorer window at the selected row's source (1) or branched (2) file.
    void BrowseToFile(int which);
    // On the local disk, or known to the vault.
    bool IsFilePresent(const BranchedFileItem& row, bool branched);
    // Hands the selected branch files, in list order, to the host's merge component.
    void MergeSelected();
    // The "CSV Options" group in the strip of the hidden marker control.
    void CreateToolbar();
    // Follows the marker after the anchored controls have moved.
    void PlaceToolbar();
    void OnPaint();
    // Hands the mouse to the groups; moves only once the toolbar has been drawn.
    void ForwardMouse(UINT msg, LPARAM lp);
    // Registers again only the tips whose rectangle or text changed; a tip's id is its place.
    void UpdateTooltips();
    void OnSize(UINT type, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnCloseButton();
    // Window size, then column widths under the current column set.
    void StoreWindowState();

    int m_nFocusDocId = 0;
    int m_nBranchId = 0;
    SpMgr* m_pSpMgr = nullptr;
    SpBranchBasicInfo* m_pBranchInfo = nullptr;
    std::wstring m_strCreatedOn;
    unsigned m_nDateFormat = 0;
    std::wstring m_strVaultRoot;
    std::wstring m_strVaultName;
    VListCtrl m_list;
    FileTypeImages m_fileTypes;  // the list's image list and the extension map that fills it
    ScopedHICON m_hIconSmall;
    ScopedHICON m_hIconBig;
    RECT m_rcInitial{};
    SizeGrip m_sizeGrip;
    int m_nColumns = 0;
    std::wstring m_strColumnSet = L"-";
    ScopedHICON m_commandIcons[2];  // the buttons' pictures; outlive the elements drawn from them
    RefPtr<BFC::GroupToolBar> m_toolbar;
    RefPtr<BFC::Button> m_buttons[2];  // "Save as CSV", "Open as CSV"
    BFC::Lst<BFC::Tooltip> m_tooltips;  // as last registered
};
