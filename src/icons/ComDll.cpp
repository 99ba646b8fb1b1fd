#include "icons/ComDll.h"

#include <string>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

ComDll::~ComDll() = default;

namespace {

// Makes `folder` current for the object's lifetime and brings back the directory that was
// current before, when there was one. The current directory is the process's: this is safe
// because icon lookups run on the dialog's thread only.
class CurrentDirectorySwitch {
public:
    explicit CurrentDirectorySwitch(const std::wstring& folder) noexcept {
        wchar_t saved[261] = {};
        const DWORD length = ::GetCurrentDirectoryW(261, saved);
        if (length > 0 && length < 261)
            m_saved = saved;
        if (!folder.empty())
            ::SetCurrentDirectoryW(folder.c_str());
    }
    CurrentDirectorySwitch(const CurrentDirectorySwitch&) = delete;
    CurrentDirectorySwitch& operator=(const CurrentDirectorySwitch&) = delete;
    ~CurrentDirectorySwitch() {
        if (!m_saved.empty())
            ::SetCurrentDirectoryW(m_saved.c_str());
    }

private:
    std::wstring m_saved;
};

}  // namespace

bool ComDll::Load(const wchar_t* path) {
    m_getClassObject = nullptr;
    m_module.reset();
    if (!path || !*path)
        return false;

    const std::wstring server(path);
    const size_t slash = server.rfind(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : server.substr(0, slash);
    {
        CurrentDirectorySwitch inServerFolder(folder);
        m_module.reset(::LoadLibraryW(path));
    }
    if (!m_module)
        return false;

    m_getClassObject = reinterpret_cast<LPFNGETCLASSOBJECT>(::GetProcAddress(m_module.get(), "DllGetClassObject"));
    if (!m_getClassObject) {
        m_module.reset();
        return false;
    }
    return true;
}

HRESULT ComDll::CreateInstance(REFCLSID clsid, REFIID iid, void** object) const {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!m_getClassObject)
        return E_UNEXPECTED;
    ComPtr<IClassFactory> factory;
    HRESULT hr = m_getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()));
    if (FAILED(hr))
        return hr;
    if (!factory)
        return E_NOINTERFACE;
    return factory->CreateInstance(nullptr, iid, object);
}
