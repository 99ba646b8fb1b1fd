// The stand-in's in-process server: class factory, unloading and self-registration under
// HKLM\Software\Classes (where Wine's HKEY_CLASSES_ROOT sees it) as "Excel.Application".
#include <windows.h>

#include <atomic>
#include <string>

#include "CallLog.h"
#include "StandInApplication.h"
#include "common/InProcServer.h"

namespace {

// {6C1F3A52-9E2B-4D7A-B8E1-3F5A7C2D9B40}: the stand-in's own class, not Excel's.
constexpr CLSID kClsid = {0x6C1F3A52, 0x9E2B, 0x4D7A, {0xB8, 0xE1, 0x3F, 0x5A, 0x7C, 0x2D, 0x9B, 0x40}};
constexpr wchar_t kClsidText[] = L"{6C1F3A52-9E2B-4D7A-B8E1-3F5A7C2D9B40}";
constexpr wchar_t kProgId[] = L"Excel.Application";
constexpr wchar_t kName[] = L"Excel automation stand-in";

HMODULE g_module = nullptr;
std::atomic<long> g_locks{0};

HRESULT CreateApplication(REFIID iid, void** out) noexcept {
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

StaticClassFactory<CreateApplication> g_factory(g_locks);

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
        const std::wstring progIdKey = std::wstring(L"Software\\Classes\\") + kProgId;
        HRESULT hr = RegisterInProcServer(g_module, kClsid, kName);
        if (SUCCEEDED(hr) && (SetMachineString(ClassKey(kClsid) + L"\\ProgID", nullptr, kProgId) != ERROR_SUCCESS ||
                              SetMachineString(progIdKey, nullptr, kName) != ERROR_SUCCESS ||
                              SetMachineString(progIdKey + L"\\CLSID", nullptr, kClsidText) != ERROR_SUCCESS))
            hr = SELFREG_E_CLASS;
        return hr;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDAPI DllUnregisterServer() {
    try {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(L"Software\\Classes\\") + kProgId).c_str());
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, ClassKey(kClsid).c_str());
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}
