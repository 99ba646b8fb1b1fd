#pragma once
#include "framework/CWnd.h"

class CDialog;

// Direction of a data exchange: true when the dialog's controls are being read back.
struct CDataExchange {
    CDataExchange(CDialog* dialog, bool save) noexcept : m_bSaveAndValidate(save), m_pDlgWnd(dialog) {}
    bool m_bSaveAndValidate;
    CDialog* m_pDlgWnd;
};

// Standard command id of a dialog's Help button.
constexpr UINT ID_HELP = 57671;

// Modal dialog from a template found through the framework's resource search.
class CDialog : public CWnd {
public:
    CDialog(UINT templateId, CWnd* parent = nullptr) noexcept
        : m_lpszTemplateName(MAKEINTRESOURCEW(templateId)), m_pParentWnd(parent) {}

    // Runs the dialog; -1 when the template cannot be found or the window not made.
    virtual INT_PTR DoModal();
    void EndDialog(int result) noexcept;
    // Runs DoDataExchange in the given direction; false when it threw.
    [[nodiscard]] bool UpdateData(bool saveAndValidate = true);

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* dx);
    virtual void OnOK();
    virtual void OnCancel();
    bool OnCommand(WPARAM wp, LPARAM lp) override;

    LPCWSTR m_lpszTemplateName;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
};
