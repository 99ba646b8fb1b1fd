#pragma once
#include <string>
#include "common/OrvVault5Base.h"

namespace lineage_test {

// The host's vault object on the test's stack; an unset name or root answers failure and no string.
class TestVault : public OrvVault5Base {
public:
    TestVault(const wchar_t* name, const wchar_t* root) : m_name(name), m_root(root) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        const bool known = iid == IID_IUnknown || iid == IID_IDispatch;
        *out = known ? static_cast<IDispatch*>(this) : nullptr;
        return known ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override { return Read(m_name, name); }
    HRESULT STDMETHODCALLTYPE get_RootFolderPath(BSTR* root) override { return Read(m_root, root); }

    int reads = 0;  // through the method table

private:
    HRESULT Read(const wchar_t* value, BSTR* out) {
        ++reads;
        if (!out)
            return E_POINTER;
        *out = value ? ::SysAllocString(value) : nullptr;
        return value ? S_OK : E_FAIL;
    }
    const wchar_t* m_name;
    const wchar_t* m_root;
};

} // namespace lineage_test
