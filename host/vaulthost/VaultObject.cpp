// The module reads two properties through the method table; automation clients may read the
// same two by name through IDispatch. Everything else of the real vault interface is absent.
#include "VaultObject.h"
#include "common/OrvVault5Base.h"
#include <atomic>
#include <new>

namespace {

constexpr DISPID kDispIdName = 1;
constexpr DISPID kDispIdRootFolderPath = 2;

HRESULT CopyToBstr(const std::wstring& text, BSTR* out) noexcept {
    if (!out)
        return E_POINTER;
    *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

bool SameName(const wchar_t* a, const wchar_t* b) noexcept {
    return ::CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

class VaultObject final : public OrvVault5Base {
public:
    VaultObject(std::wstring name, std::wstring root) : m_name(std::move(name)), m_root(std::move(root)) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

    // IDispatch, without type information.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info)
            *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids)
            return E_POINTER;
        HRESULT result = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = !names[i] ? DISPID_UNKNOWN
                     : SameName(names[i], L"Name") ? kDispIdName
                     : SameName(names[i], L"RootFolderPath") ? kDispIdRootFolderPath
                                                              : DISPID_UNKNOWN;
            if (ids[i] == DISPID_UNKNOWN)
                result = DISP_E_UNKNOWNNAME;
        }
        return result;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        if (iid != IID_NULL)
            return DISP_E_UNKNOWNINTERFACE;
        if (id != kDispIdName && id != kDispIdRootFolderPath)
            return DISP_E_MEMBERNOTFOUND;
        if (!(flags & DISPATCH_PROPERTYGET))
            return DISP_E_MEMBERNOTFOUND;
        if (params && params->cArgs != 0)
            return DISP_E_BADPARAMCOUNT;
        if (!result)
            return E_POINTER;
        ::VariantInit(result);
        BSTR text = nullptr;
        const HRESULT hr = id == kDispIdName ? get_Name(&text) : get_RootFolderPath(&text);
        if (SUCCEEDED(hr)) {
            result->vt = VT_BSTR;
            result->bstrVal = text;
        }
        return hr;
    }

    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override { return CopyToBstr(m_name, name); }
    HRESULT STDMETHODCALLTYPE get_RootFolderPath(BSTR* root) override { return CopyToBstr(m_root, root); }

private:
    ~VaultObject() override = default;  // only Release deletes

    std::atomic<ULONG> m_references{1};
    const std::wstring m_name;
    const std::wstring m_root;
};

} // namespace

VaultObjectPtr CreateVaultObject(const std::wstring& name, const std::wstring& rootFolderPath) noexcept {
    try {
        return VaultObjectPtr(new VaultObject(name, rootFolderPath));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
