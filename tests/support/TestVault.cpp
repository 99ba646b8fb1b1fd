#include "TestVault.h"

namespace lineage_test {

HRESULT TestVault::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT TestVault::Read(const wchar_t* value, BSTR* out) {
    ++reads;
    if (!out)
        return E_POINTER;
    *out = value ? ::SysAllocString(value) : nullptr;
    return value ? S_OK : E_FAIL;
}

} // namespace lineage_test
