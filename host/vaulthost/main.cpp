// vaulthost: the host program. It opens a vault file and shows one branch of it through
// Lineage.dll, as the vault client does when the user asks for a branch's details.
//   vaulthost --vault FILE --branch ID [--focus DOCID]
// Exit code 0 once the dialog is closed; 2, with one line on stderr, when it cannot be shown.
#include "ErrorLine.h"
#include "HostArguments.h"
#include "HostInstallation.h"
#include "VaultObject.h"
#include "dbcall/VaultData.h"
#include "base/ModulePath.h"
#include "base/ScopedHandle.h"
#include <memory>
#include <new>
#include <string>
#include <utility>

namespace {

constexpr int kExitShown = 0;
constexpr int kExitFailed = 2;

// The module's one entry point, found by name at run time as every host finds it.
using ShowBranchDetailsFn = void (*)(int focusDocId, int branchId, SpMgr* spMgr, IOrvVault5* vault, HWND parent);
constexpr wchar_t kModuleFileName[] = L"Lineage.dll";

int Fail(const std::wstring& message) {
    WriteErrorLine(L"vaulthost: " + message);
    return kExitFailed;
}

// The module sits beside the program, wherever the program was started from.
std::wstring ProgramFolder() { return FolderOf(ModulePath(nullptr)); }

int Run(int argc, wchar_t* argv[]) {
    // The host's UI thread is a COM apartment; the module joins it for the call.
    ScopedCOMInitializer com;
    // Installed where it was started from, unless an installation is registered already.
    RegisterInstallationIfMissing(ProgramFolder());

    HostArguments arguments;
    std::wstring error;
    if (!ParseHostArguments(argc, argv, arguments, error))
        return Fail(error + L" (usage: " + kHostUsage + L")");

    VaultData vault;
    if (!LoadVaultFile(arguments.vaultPath, vault, error))
        return Fail(error);

    const std::wstring modulePath = ProgramFolder() + kModuleFileName;
    ScopedHMODULE module(::LoadLibraryW(modulePath.c_str()));
    if (!module)
        return Fail(modulePath + L" cannot be loaded: " + SystemMessage(::GetLastError()));
    const auto showBranchDetails =
        reinterpret_cast<ShowBranchDetailsFn>(::GetProcAddress(module.get(), "gvShowBranchDetails"));
    if (!showBranchDetails)
        return Fail(modulePath + L" does not export gvShowBranchDetails");

    const auto sharedVault = std::make_shared<const VaultData>(std::move(vault));
    const VaultObjectPtr vaultObject = CreateVaultObject(sharedVault->name, sharedVault->root);
    const std::unique_ptr<SpMgr> spMgr = CreateVaultSpMgr(sharedVault);
    if (!vaultObject || !spMgr)
        return Fail(L"not enough memory to open the vault");

    showBranchDetails(arguments.focusDocId, arguments.branchId, spMgr.get(), vaultObject.get(), nullptr);
    return kExitShown;
}

} // namespace

int wmain(int argc, wchar_t* argv[]) {
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        return Fail(L"out of memory");
    }
}
