#pragma once
// What every in-process COM server of the host's side shares: its one class factory, which keeps
// the module's lock count, and self-registration under HKLM\Software\Classes (where Wine's
// HKEY_CLASSES_ROOT sees it).
#include <windows.h>
#include <objbase.h>
#include <olectl.h>
#include <atomic>
#include <new>
#include <string>
#include "base/ModulePath.h"
#include "base/ScopedHandle.h"

// One static factory whose lifetime is the module's; `Create(iid, out)` makes an instance.
template <HRESULT (*Create)(REFIID, void**)>
class StaticClassFactory : public IClassFactory {
public:
    explicit StaticClassFactory(std::atomic<long>& locks) noexcept : m_locks(locks) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return 2; }
    ULONG STDMETHODCALLTYPE Release() noexcept override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept override {
        if (!out) return E_POINTER;
        *out = nullptr;
        return outer ? CLASS_E_NOAGGREGATION : Create(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override {
        if (lock) ++m_locks; else --m_locks;
        return S_OK;
    }

private:
    std::atomic<long>& m_locks;
};

// A REG_SZ value under HKLM\`subKey` (created when missing); a null name is the default value.
[[nodiscard]] inline LONG SetMachineString(const std::wstring& subKey, const wchar_t* name, const std::wstring& value) {
    ScopedHKEY key;
    const LONG status = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                          key.put(), nullptr);
    if (status != ERROR_SUCCESS) return status;
    return ::RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// "Software\Classes\CLSID\{...}" of `clsid`.
inline std::wstring ClassKey(REFCLSID clsid) {
    wchar_t text[40] = {};
    ::StringFromGUID2(clsid, text, 40);
    return std::wstring(L"Software\\Classes\\CLSID\\") + text;
}

// Registers `module` as the apartment-threaded in-process server of `clsid`, named `name`.
[[nodiscard]] inline HRESULT RegisterInProcServer(HMODULE module, REFCLSID clsid, const wchar_t* name) {
    const std::wstring path = ModulePath(module);
    if (path.empty()) return SELFREG_E_CLASS;
    const std::wstring classKey = ClassKey(clsid);
    const std::wstring server = classKey + L"\\InProcServer32";
    LONG status = SetMachineString(classKey, nullptr, name);
    if (status == ERROR_SUCCESS) status = SetMachineString(server, nullptr, path);
    if (status == ERROR_SUCCESS) status = SetMachineString(server, L"ThreadingModel", L"Apartment");
    return status == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}
