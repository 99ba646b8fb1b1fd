// The component's in-process server: class factory, unloading, and self-registration under
// HKLM\Software\Classes (where Wine's HKEY_CLASSES_ROOT sees it), so `regsvr32` can register it.
#include <windows.h>
#include <objbase.h>
#include <olectl.h>

#include <new>
#include <string>

#include "MergeComponent.h"
#include "MergeWindow.h"
#include "ServerLife.h"
#include "base/ModulePath.h"
#include "base/ScopedHandle.h"

namespace {

std::wstring ClassKey() {
    wchar_t clsid[40] = {};
    ::StringFromGUID2(CLSID_LedgerixMerge, clsid, 40);
    return std::wstring(L"Software\\Classes\\CLSID\\") + clsid;
}

class ClassFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // One static factory: its lifetime is the module's.
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return 2; }
    ULONG STDMETHODCALLTYPE Release() noexcept override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* component = new (std::nothrow) MergeComponent;
        if (!component) return E_OUTOFMEMORY;
        const HRESULT hr = component->QueryInterface(iid, out);
        component->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override {
        if (lock) ++ServerLife::locks; else --ServerLife::locks;
        return S_OK;
    }
};

ClassFactory g_factory;

[[nodiscard]] LONG SetString(const std::wstring& subKey, const wchar_t* name, const std::wstring& value) {
    ScopedHKEY key;
    const LONG status = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                          key.put(), nullptr);
    if (status != ERROR_SUCCESS) return status;
    return ::RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

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
        const std::wstring path = ModulePath(ServerLife::module);
        if (path.empty()) return SELFREG_E_CLASS;
        const std::wstring classKey = ClassKey();
        const std::wstring server = classKey + L"\\InProcServer32";
        LONG status = SetString(classKey, nullptr, L"Ledgerix merge component");
        if (status == ERROR_SUCCESS) status = SetString(server, nullptr, path);
        if (status == ERROR_SUCCESS) status = SetString(server, L"ThreadingModel", L"Apartment");
        return status == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

STDAPI DllUnregisterServer() {
    try {
        const LONG status = ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, ClassKey().c_str());
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
