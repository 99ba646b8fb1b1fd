#include "dialog/BranchDetailsDlg.h"
#include <comdef.h>
#include <memory>
#include "contracts/ZebSettings.h"
#include "dialog/BranchedFileItem.h"
#include "dialog/DialogTexts.h"
#include "export/FileListExport.h"
#include "export/ListViewSource.h"
#include "framework/CPaintDC.h"
#include "icons/WorkflowIcons.h"
#include <windowsx.h>
#include "base/ScopedHandle.h"
#include "module/resource.h"
#include "settings/FormatDate.h"
#include "settings/SettingsLight.h"

namespace {

// An unset or unreadable property counts as empty.
std::wstring ReadVaultString(IOrvVault5* vault, HRESULT (STDMETHODCALLTYPE IOrvVault5::*property)(BSTR*)) {
    if (!vault)
        return {};
    ScopedBSTR value;
    (vault->*property)(value.put());
    return value ? std::wstring(value.get(), ::SysStringLen(value.get())) : std::wstring();
}

// Brackets the dialog's initialisation with its default strings file.
class DefaultStringsFile {
public:
    explicit DefaultStringsFile(const wchar_t* file) { gvPushDefaultFile(file); }
    DefaultStringsFile(const DefaultStringsFile&) = delete;
    DefaultStringsFile& operator=(const DefaultStringsFile&) = delete;
    ~DefaultStringsFile() { gvPopDefaultFile(); }
};

// Owns the file records of one branch read until they are deleted after the load.
struct BranchFileRecords {
    std::vector<SpBranchFileInfo*> records;
    BranchFileRecords() = default;
    BranchFileRecords(const BranchFileRecords&) = delete;
    BranchFileRecords& operator=(const BranchFileRecords&) = delete;
    ~BranchFileRecords() {
        for (SpBranchFileInfo* record : records)
            delete record;
    }
};

// Holds the creator's reference to a new row until the list has taken its own.
struct RowReleaser {
    void operator()(BranchedFileItem* row) const noexcept { row->Release(); }
};
using NewRow = std::unique_ptr<BranchedFileItem, RowReleaser>;

constexpr int kTypeColumnWidth = 40;
constexpr int kSharedColumnWidth = 50;
constexpr int kPathColumnWidth = 300;

} // namespace

CBranchDetailsDlg::CBranchDetailsDlg(CWnd* parent) : CDialog(IDD_BRANCH_DETAILS, parent) {}

CBranchDetailsDlg::~CBranchDetailsDlg() {
    m_list.RemoveAllRows();
    delete m_pBranchInfo;
}

void CBranchDetailsDlg::Init(int focusDocId, int branchId, SpMgr* spMgr, IOrvVault5* vault) {
    m_nFocusDocId = focusDocId;
    m_nBranchId = branchId;
    m_pSpMgr = spMgr;
    m_strVaultName = ReadVaultString(vault, &IOrvVault5::get_Name);
    m_nDateFormat = SettingsLight().GetDateFmt(m_strVaultName.c_str());
    m_strVaultRoot = ReadVaultString(vault, &IOrvVault5::get_RootFolderPath);
}

BOOL CBranchDetailsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    DefaultStringsFile strings(L"BranchDetailsDlg");

    mbInitStrWnd(m_hWnd, L"BranchDetails", true, L"", L"", L"");
    CreateSizeGrip();
    SetLabelTexts();
    // A template without its list control has nowhere to show the branch: it is shown as it is.
    if (!m_list.SubclassDlgItem(IDC_FILE_LIST, this))
        return TRUE;
    CreateImageList();
    InsertColumns();

    // The list only shows the dialog's image list: the dialog destroys it, once.
    ::SetWindowLongPtrW(m_list.m_hWnd, GWL_STYLE, m_list.GetStyle() | LVS_SHAREIMAGELISTS);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    m_list.SetImageList(m_fileTypes.ImageList(), LVSIL_SMALL);

    // Taken before the remembered size is restored: the template's size is the minimum.
    GetWindowRect(&m_rcInitial);

    LoadWindowIcons();
    LoadBranch();
    CreateToolbar();
    AnchorControls();
    mvFlushWindowSize(false);
    mvFlushColumnSizes(IDC_FILE_LIST, false, m_nColumns, m_strColumnSet.c_str());
    return TRUE;
}

namespace {

bool IsOlderThanWindowsXp() noexcept {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!::GetVersionExW(&version))
        return false;
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
           (version.dwMajorVersion < 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion == 0));
}

} // namespace

void CBranchDetailsDlg::CreateSizeGrip() {
    RECT rect{};
    GetClientRect(&rect);
    rect.left = rect.right - m_sizeGrip.partWidth;
    rect.top = rect.bottom - m_sizeGrip.partHeight;
    if (!m_sizeGrip.Create(L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect, this, IDC_SIZE_GRIP))
        return;
    // Without a usable theme library, the lines of systems before XP, else XP's dots.
    m_sizeGrip.classic = !m_sizeGrip.InitTheme() && IsOlderThanWindowsXp();
}

void CBranchDetailsDlg::SetLabelTexts() {
    SetDlgItemText(IDC_CREATED_BY_LABEL, DialogText(2, L"Created By:").c_str());
    SetDlgItemText(IDC_CREATED_ON_LABEL, DialogText(3, L"Created On:").c_str());
    SetDlgItemText(IDC_HELP_BUTTON, DialogText(7, L"Help").c_str());
    SetDlgItemText(IDC_CLOSE, DialogText(8, L"Close").c_str());
}

void CBranchDetailsDlg::CreateImageList() {
    // Without an image list the list shows no type icons; nothing else depends on it.
    static_cast<void>(m_fileTypes.Create(CDPIHelper::get()->getDesiredBitmapImageSize(kivImageUseSmall, CSize(0, 0))));
}

void CBranchDetailsDlg::InsertColumns() {
    m_list.InsertColumn(0, DialogText(4, L"Type").c_str(), LVCFMT_LEFT, kTypeColumnWidth);
    m_list.InsertColumn(1, DialogText(5, L"Source File").c_str(), LVCFMT_LEFT, kPathColumnWidth);
    m_list.InsertColumn(2, DialogText(6, L"Branch File").c_str(), LVCFMT_LEFT, kPathColumnWidth);
    m_nColumns = 3;
    m_strColumnSet = L"FileCols";
}

void CBranchDetailsDlg::LoadWindowIcons() {
    try {
        m_hIconSmall.reset(LoadWfPngIcon(L"PNG_ASSOCIATED_BRANCHES", kivImageUseSmall));
        m_hIconBig.reset(LoadWfPngIcon(L"PNG_ASSOCIATED_BRANCHES", kivImageUseLarge));
    } catch (const _com_error&) {
        // An icon loaded before the failure stays with the dialog; neither is shown.
    }
    if (!m_hIconSmall || !m_hIconBig)
        return;
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIconSmall.get()));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIconBig.get()));
}

void CBranchDetailsDlg::LoadBranch() {
    delete m_pBranchInfo;
    m_pBranchInfo = nullptr;
    m_pBranchInfo = new SpBranchBasicInfo();

    auto* procedure = m_pSpMgr ? static_cast<SpBranch*>(m_pSpMgr->mpoGetProc(SpProcId::Branch)) : nullptr;
    BranchFileRecords files;
    if (!procedure || procedure->mhGetBranchDetails(m_nBranchId, *m_pBranchInfo, files.records) != 0)
        return;

    Str created;
    if (FormatDate(created, m_pBranchInfo->created, m_nDateFormat))
        m_strCreatedOn = created.Text();
    SetWindowText((DialogText(1, L"Associated Branches-") + static_cast<const wchar_t*>(m_pBranchInfo->name)).c_str());
    SetDlgItemText(IDC_CREATED_BY, m_pBranchInfo->creator);
    SetDlgItemText(IDC_CREATED_ON, m_strCreatedOn.c_str());

    NewRow focusRow;
    std::vector<NewRow> pending;
    pending.reserve(files.records.size());
    bool anyShared = false;
    for (SpBranchFileInfo*& r : files.records) {
        NewRow row(new BranchedFileItem(m_strVaultRoot.c_str(), r->sourceDocId, r->sourceFolderId, r->thirdId,
                                        r->branchDocId, r->value, r->branchFolderId, r->sourceName,
                                        r->branchName, r->sourceFolder, r->branchFolder, r->shared));
        row->images = &m_fileTypes;
        anyShared = anyShared || r->shared;
        // Each record goes as soon as its row stands: a large branch never holds both in full.
        delete r;
        r = nullptr;
        // The document the user came from is listed first; a later match takes the place
        // of an earlier one, which joins the other rows.
        if (row->sourceDocId == m_nFocusDocId || row->branchDocId == m_nFocusDocId) {
            if (focusRow)
                pending.push_back(std::move(focusRow));
            focusRow = std::move(row);
        } else {
            pending.push_back(std::move(row));
        }
    }

    if (anyShared)
        AddSharedColumn();
    if (focusRow)
        m_list.AddRow(focusRow.get());
    for (const NewRow& row : pending)
        m_list.AddRow(row.get());
    m_list.SetItemCountEx(m_list.GetRowCount(), LVSICF_NOINVALIDATEALL);
    m_list.Invalidate(true);
    m_list.SelectFirstRow();
}

void CBranchDetailsDlg::AddSharedColumn() {
    m_list.InsertColumn(3, DialogText(14, L"Shared").c_str(), LVCFMT_LEFT, kSharedColumnWidth);
    m_nColumns = 4;
    m_strColumnSet = L"FileColsShared";
}

void CBranchDetailsDlg::ExportFileList(int mode) {
    ExportSource source;
    source.owner = m_hWnd;
    if (m_pBranchInfo) {
        source.branchName = m_pBranchInfo->name;
        source.creator = m_pBranchInfo->creator;
    }
    source.createdOn = m_strCreatedOn;
    ReadListView(m_list, source);
    ::ExportFileList(source, mode);
}

void CBranchDetailsDlg::AnchorControls() {
    for (unsigned id : {IDC_CREATED_ON_LABEL, IDC_CREATED_BY_LABEL, IDC_CREATED_BY, IDC_CREATED_ON})
        mvFixCtrl(id, StrWndAnchor::TopLeft);
    mvFixCtrl(IDC_CLOSE, StrWndAnchor::BottomRight);
    mvFixCtrl(IDC_HELP_BUTTON, StrWndAnchor::BottomRight);
    mvFixCtrl(IDC_TOOLBAR_MARKER, StrWndAnchor::TopRight);
    mvFixCtrl(IDC_FILE_LIST, StrWndAnchor::Stretch);
}

void CBranchDetailsDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    // Enter confirms the dialog through a saving exchange: it remembers sizes like Close.
    if (dx->m_bSaveAndValidate)
        StoreWindowState();
}

bool CBranchDetailsDlg::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    switch (msg) {
    case WM_SIZE:
        OnSize(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
        *result = 0;
        return true;
    case WM_GETMINMAXINFO:
        *result = Default();
        OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lp));
        return true;
    case WM_CLOSE:
        StoreWindowState();
        *result = Default();
        return true;
    case WM_PAINT:
        OnPaint();
        *result = 0;
        return true;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        *result = Default();
        ForwardMouse(msg, lp);
        return true;
    default:
        return CDialog::OnWndMsg(msg, wp, lp, result);
    }
}

bool CBranchDetailsDlg::OnCommand(WPARAM wp, LPARAM lp) {
    switch (LOWORD(wp)) {
    case IDC_CLOSE:
        OnCloseButton();
        return true;
    case ID_SAVE_AS_CSV:
        ExportFileList(kExportSaveAsCsv);
        return true;
    case ID_OPEN_AS_CSV:
        ExportFileList(kExportOpenAsCsv);
        return true;
    case ID_UPDATE_TOOLTIPS:
        UpdateTooltips();
        return true;
    default:
        return CDialog::OnCommand(wp, lp);
    }
}

bool CBranchDetailsDlg::OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) {
    auto* notify = reinterpret_cast<NMHDR*>(lp);
    if (notify->idFrom == IDC_FILE_LIST && notify->code == NM_RCLICK) {
        ShowFileMenu(notify, result);
        return true;
    }
    return CDialog::OnNotify(wp, lp, result);
}

void CBranchDetailsDlg::OnSize(UINT, int cx, int cy) {
    // By the grip's current size: the theme may have grown it since it was created.
    if (m_sizeGrip.IsWindow())
        m_sizeGrip.MoveWindow(cx - m_sizeGrip.partWidth, cy - m_sizeGrip.partHeight, m_sizeGrip.partWidth,
                              m_sizeGrip.partHeight, true);
    mvUpdateFixedCtrls();
    PlaceToolbar();
    Default();
}

void CBranchDetailsDlg::OnGetMinMaxInfo(MINMAXINFO* info) {
    if (::IsRectEmpty(&m_rcInitial))
        return;
    info->ptMinTrackSize.x = m_rcInitial.right - m_rcInitial.left;
    info->ptMinTrackSize.y = m_rcInitial.bottom - m_rcInitial.top;
}

void CBranchDetailsDlg::OnCloseButton() {
    StoreWindowState();
    CDialog::OnCancel();
}

void CBranchDetailsDlg::StoreWindowState() {
    mvFlushWindowSize(true);
    mvFlushColumnSizes(IDC_FILE_LIST, true, m_nColumns, m_strColumnSet.c_str());
}

namespace {

constexpr int kToolbarRaise = 5;  // the strip starts this far above the marker
constexpr int kHeaderRight = 180;
constexpr int kItemsRight = 170;

struct CommandButton {
    int command;
    const wchar_t* picture;
    unsigned textId;
    unsigned tooltipId;
    const wchar_t* tooltip;
};
// In the order of m_buttons.
constexpr CommandButton kCommandButtons[2] = {
    {ID_SAVE_AS_CSV, L"PNG_SAVE", 200, 2, L"\u00A4Save as CSV\nSaves a CSV file with the exported Files list."},
    {ID_OPEN_AS_CSV, L"PNG_ORVX_OPENFILE_LIST_ALL", 201, 1,
     L"\u00A4Open as CSV\nOpens a CSV file with the exported Files list."},
};

} // namespace

void CBranchDetailsDlg::CreateToolbar() {
    HWND marker = ::GetDlgItem(m_hWnd, IDC_TOOLBAR_MARKER);
    RECT strip{};
    if (marker) {
        ::GetWindowRect(marker, &strip);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&strip), 2);
        ::EnableWindow(marker, FALSE);
    }
    const int top = strip.top - kToolbarRaise;

    RefPtr<BFC::GroupToolBar> toolbar(new BFC::GroupToolBar);
    toolbar->left = strip.left;
    toolbar->top = top;
    toolbar->width = strip.right - strip.left;
    toolbar->height = strip.bottom - top;
    m_toolbar = toolbar;

    const RECT header{0, top, kHeaderRight, strip.bottom};
    const RECT items{0, top, kItemsRight, strip.bottom};
    RefPtr<BFC::Group> group(new BFC::Group(header, items, DialogText(103, L"CSV Options")));
    for (size_t i = 0; i < 2; ++i) {
        const CommandButton& b = kCommandButtons[i];
        RefPtr<BFC::Callback> callback(new BFC::Callback(b.command));
        m_commandIcons[i].reset(LoadWfPngIcon(b.picture, kivImageUseSmall));
        RefPtr<BFC::UIObject> picture(new BFC::Icon(m_commandIcons[i].get(), 32768));
        m_buttons[i] = new BFC::Button(picture, callback, TssText(b.textId, L"TS", L"RefDlg", L""));
        m_buttons[i]->tooltipText = TssText(b.tooltipId, L"Tooltips", L"BranchDetailsDlg", b.tooltip);
        m_buttons[i]->GetCallback()->visible = true;
    }
    group->AddItem(m_buttons[1]);
    group->AddItem(m_buttons[0]);
    group->UpdateSize();
    m_toolbar->AddGroup(1, group);
}

void CBranchDetailsDlg::PlaceToolbar() {
    if (!m_toolbar)
        return;
    const CRect r = moGetCtrlPos(IDC_TOOLBAR_MARKER);
    const int top = r.top - kToolbarRaise;
    m_toolbar->left = r.left;
    m_toolbar->top = top;
    m_toolbar->width = r.Width();
    m_toolbar->height = r.bottom - top;
    m_toolbar->Layout(m_toolbar->width);
    const RECT strip{m_toolbar->left, top, m_toolbar->left + m_toolbar->width, top + m_toolbar->height};
    ::InvalidateRect(m_hWnd, &strip, TRUE);
    m_toolbar->Invalidate(m_hWnd);
    const RECT band{0, top, r.right, r.bottom};
    ::InvalidateRect(m_hWnd, &band, TRUE);
}

void CBranchDetailsDlg::OnPaint() {
    CPaintDC dc(this);
    if (!m_toolbar)
        return;
    Gdiplus::Graphics graphics(dc.GetSafeHdc());
    m_toolbar->Draw(graphics, 0, 0, BFC::StateNormal, 1000000, 0);
    // After the paint: the tips follow the layout just drawn.
    static_cast<void>(PostMessage(WM_COMMAND, ID_UPDATE_TOOLTIPS, 0));
}

void CBranchDetailsDlg::ForwardMouse(UINT msg, LPARAM lp) {
    if (!m_toolbar || (msg == WM_MOUSEMOVE && !m_toolbar->drawn))
        return;
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    HWND wnd = m_hWnd;
    // Held: a group's handling may post commands but must not lose the toolbar meanwhile.
    const RefPtr<BFC::GroupToolBar> toolbar = m_toolbar;
    toolbar->ForEachGroup([&](BFC::Group& group) {
        if (msg == WM_MOUSEMOVE)
            group.OnMouseMove(wnd, x, y);
        else if (msg == WM_LBUTTONDOWN)
            group.OnLButtonDown(wnd, x, y);
        else
            group.OnLButtonUp(wnd, x, y);
    });
}

void CBranchDetailsDlg::UpdateTooltips() {
    if (!m_toolbar)
        return;
    BFC::Lst<BFC::Tooltip> fresh;
    m_toolbar->CollectTooltips(fresh);
    unsigned id = 1;
    auto* old = m_tooltips.Head();
    for (auto* node = fresh.Head(); node; node = node->next, ++id) {
        const BFC::Tooltip& tip = node->value;
        CRect rect(tip.rect);
        if (!old) {
            mbAddToolTip(m_hWnd, id, rect, tip.text.c_str());
        } else {
            if (!::EqualRect(&old->value.rect, &tip.rect) || old->value.text != tip.text) {
                mbRemoveRectToolTip(m_hWnd, id);
                mbAddToolTip(m_hWnd, id, rect, tip.text.c_str());
            }
            old = old->next;
        }
    }
    m_tooltips.RemoveAll();
    fresh.ForEach([this](const BFC::Tooltip& tip) { m_tooltips.AddTail(tip); });
}
