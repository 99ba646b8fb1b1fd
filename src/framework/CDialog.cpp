#include "framework/CDialog.h"
#include "framework/AfxModuleState.h"

INT_PTR CDialog::DoModal() {
    HINSTANCE module = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
    HRSRC resource = module ? ::FindResourceW(module, m_lpszTemplateName, RT_DIALOG) : nullptr;
    HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    auto* dialogTemplate = static_cast<LPCDLGTEMPLATEW>(loaded ? ::LockResource(loaded) : nullptr);
    if (!dialogTemplate)
        return -1;

    HWND parent = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    INT_PTR result = ::DialogBoxIndirectParamW(module, dialogTemplate, parent, &CDialog::DialogProc,
                                               reinterpret_cast<LPARAM>(this));
    DeleteTempMap();
    return result;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND wnd, UINT msg, WPARAM, LPARAM lp) noexcept {
    // Every message but the first reaches the dialog object through its subclassed window
    // procedure; here only WM_INITDIALOG ties the window to the object.
    if (msg != WM_INITDIALOG)
        return FALSE;
    auto* self = reinterpret_cast<CDialog*>(lp);
    if (!self || !self->SubclassWindow(wnd))
        return TRUE;
    try {
        return self->OnInitDialog();
    } catch (...) {
        self->EndDialog(-1);
        return FALSE;
    }
}

BOOL CDialog::OnInitDialog() {
    // Filling the controls validates nothing; only a saving exchange can fail.
    static_cast<void>(UpdateData(false));
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (...) {
        return false;
    }
    return true;
}

void CDialog::OnOK() {
    if (!UpdateData(true))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int result) noexcept { ::EndDialog(m_hWnd, result); }

bool CDialog::OnCommand(WPARAM wp, LPARAM lp) {
    if (CWnd::OnCommand(wp, lp))
        return true;
    // Buttons, menus (code 0) and accelerators (code 1) command; other notifications do not.
    if (HIWORD(wp) > 1)
        return false;
    switch (LOWORD(wp)) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    default:
        return false;
    }
}
