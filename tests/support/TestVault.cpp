#include "TestVault.h"

namespace lineage_test {

HRESULT TestVault::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    const bool known = iid == IID_IUnknown || iid == IID_IDispatch;
    *out = known ? static_cast<IDispatch*>(this) : nullptr;
    return known ? S_OK : E_NOINTERFACE;
}

HRESULT TestVault::Read(const wchar_t* value, BSTR* out) {
    ++reads;
    if (!out)
        return E_POINTER;
    *out = value ? ::SysAllocString(value) : nullptr;
    return value ? S_OK : E_FAIL;
}

} // namespace lineage_test
