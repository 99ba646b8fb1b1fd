// The stand-in's in-process server: class factory, unloading and self-registration under
// HKLM\Software\Classes (where Wine's HKEY_CLASSES_ROOT sees it) as "Excel.Application".
#include <windows.h>
#include <objbase.h>
#include <olectl.h>

#include <atomic>
#include <string>

#include "CallLog.h"
#include "StandInApplication.h"
#include "base/ModulePath.h"
#include "base/ScopedHandle.h"

namespace {

// {6C1F3A52-9E2B-4D7A-B8E1-3F5A7C2D9B40}: the stand-in's own class, not Excel's.
constexpr CLSID kClsid = {0x6C1F3A52, 0x9E2B, 0x4D7A, {0xB8, 0xE1, 0x3F, 0x5A, 0x7C, 0x2D, 0x9B, 0x40}};
constexpr wchar_t kClsidText[] = L"{6C1F3A52-9E2B-4D7A-B8E1-3F5A7C2D9B40}";
constexpr wchar_t kProgId[] = L"Excel.Application";

HMODULE g_module = nullptr;
std::atomic<long> g_locks{0};

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
        try {
            CallLog::Write(L"Create");
            if (CallLog::ShouldFail(L"Create")) return E_FAIL;
            auto* application = new StandInApplication;
            const HRESULT hr = application->QueryInterface(iid, out);
            application->Release();
            return hr;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override {
        if (lock) ++g_locks; else --g_locks;
        return S_OK;
    }
};

ClassFactory g_factory;

LONG SetString(HKEY parent, const std::wstring& subKey, const wchar_t* name, const std::wstring& value) {
    ScopedHKEY key;
    LONG status = ::RegCreateKeyExW(parent, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                    key.put(), nullptr);
    if (status != ERROR_SUCCESS) return status;
    return ::RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != kClsid) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}

STDAPI DllCanUnloadNow() {
    return g_liveObjects == 0 && g_locks == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
    try {
        const std::wstring classes = L"Software\\Classes\\";
        const std::wstring clsidKey = classes + L"CLSID\\" + kClsidText;
        const std::wstring path = ModulePath(g_module);
        if (path.empty()) return SELFREG_E_CLASS;
        LONG status = SetString(HKEY_LOCAL_MACHINE, clsidKey, nullptr, L"Excel automation stand-in");
        if (status == ERROR_SUCCESS)
            status = SetString(HKEY_LOCAL_MACHINE, clsidKey + L"\\InProcServer32", nullptr, path);
        if (status == ERROR_SUCCESS)
            status = SetString(HKEY_LOCAL_MACHINE, clsidKey + L"\\InProcServer32", L"ThreadingModel", L"Apartment");
        if (status == ERROR_SUCCESS)
            status = SetString(HKEY_LOCAL_MACHINE, clsidKey + L"\\ProgID", nullptr, kProgId);
        if (status == ERROR_SUCCESS)
            status = SetString(HKEY_LOCAL_MACHINE, classes + kProgId, nullptr, L"Excel automation stand-in");
        if (status == ERROR_SUCCESS)
            status = SetString(HKEY_LOCAL_MACHINE, classes + kProgId + L"\\CLSID", nullptr, kClsidText);
        return status == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDAPI DllUnregisterServer() {
    try {
        const std::wstring classes = L"Software\\Classes\\";
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (classes + kProgId).c_str());
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (classes + L"CLSID\\" + kClsidText).c_str());
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}
