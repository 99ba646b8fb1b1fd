// The component's in-process server: class factory, unloading, and self-registration under
// HKLM\Software\Classes (where Wine's HKEY_CLASSES_ROOT sees it), so `regsvr32` can register it.
#include <windows.h>

#include <new>
#include <string>

#include "MergeComponent.h"
#include "MergeWindow.h"
#include "ServerLife.h"
#include "common/InProcServer.h"

namespace {

HRESULT CreateComponent(REFIID iid, void** out) noexcept {
    auto* component = new (std::nothrow) MergeComponent;
    if (!component) return E_OUTOFMEMORY;
    const HRESULT hr = component->QueryInterface(iid, out);
    component->Release();
    return hr;
}

StaticClassFactory<CreateComponent> g_factory(ServerLife::locks);

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        ServerLife::module = instance;
        ::DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        // Unloaded while the process goes on: the next load registers the class afresh.
        MergeWindow::UnregisterClass();
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != CLSID_LedgerixMerge) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}

STDAPI DllCanUnloadNow() {
    return ServerLife::CanUnload() ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
    try {
        return RegisterInProcServer(ServerLife::module, CLSID_LedgerixMerge, L"Ledgerix merge component");
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

STDAPI DllUnregisterServer() {
    try {
        const LONG status = ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, ClassKey(CLSID_LedgerixMerge).c_str());
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
