// The module's entry points: extension-module registration and the one exported call.
#include <memory>
#include "contracts/Dbcall.h"
#include "contracts/OrvVault.h"
#include "dialog/BranchDetailsDlg.h"
#include "framework/ActivationContext.h"
#include "framework/AfxExtensionModule.h"
#include "framework/AfxModuleState.h"
#include "base/ScopedHandle.h"

namespace {

AFX_EXTENSION_MODULE g_lineageModule;
CDynLinkLibrary* g_lineageLibrary = nullptr;

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        if (!AfxInitExtensionModule(g_lineageModule, instance))
            return FALSE;
        g_lineageLibrary = new (std::nothrow) CDynLinkLibrary(g_lineageModule);
        break;
    case DLL_PROCESS_DETACH:
        delete g_lineageLibrary;
        g_lineageLibrary = nullptr;
        AfxTermExtensionModule(g_lineageModule);
        break;
    default:
        break;
    }
    return TRUE;
}

// Shows the details of one branch modally on the caller's UI thread. Nothing is reported
// back: every failure ends in a dialog that shows less, or in no dialog at all.
extern "C" __declspec(dllexport) void gvShowBranchDetails(int focusDocId, int branchId, SpMgr* spMgr,
                                                          IOrvVault5* vault, HWND parent) noexcept {
    try {
        // Declared first so that it goes last: the host's resources and COM are back in their
        // state before the dialog's members are released.
        std::unique_ptr<CBranchDetailsDlg> dialog;
        {
            ScopedCOMInitializer com;
            AfxResourceHandleScope resources(g_lineageModule.hResource);
            ScopedActivationContext commonControls6(g_lineageModule.hModule);
            dialog = std::make_unique<CBranchDetailsDlg>(CWnd::FromHandle(parent));
            dialog->Init(focusDocId, branchId, spMgr, vault);
            dialog->DoModal();
        }
    } catch (...) {
        // Out of memory while preparing the dialog: the host simply sees no dialog.
    }
    CWnd::DeleteTempMap();
}
