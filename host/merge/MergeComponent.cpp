#include "MergeComponent.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <string>

#include "MergeLog.h"
#include "MergeWindow.h"
#include "ServerLife.h"

namespace {

constexpr long kInterfaceVersion = 1;
// Far more than any selection of a list; a larger count is garbage, not a request.
constexpr long kMaxItems = 100000;

bool IsWellFormed(const MergeSelection& item) noexcept {
    return item.kind == kMergeSelectionKind && item.reserved.vt == VT_EMPTY &&
           std::all_of(std::begin(item.tail), std::end(item.tail), [](std::uint8_t b) { return b == 0; });
}

bool IsWellFormedRequest(BSTR vaultName, long count, const MergeSelection* items, const void* reserved) noexcept {
    if (!vaultName || ::SysStringLen(vaultName) == 0 || reserved) return false;
    if (count < 1 || count > kMaxItems || !items) return false;
    return std::all_of(items, items + count, IsWellFormed);
}

}  // namespace

MergeComponent::MergeComponent() noexcept {
    ++ServerLife::objects;
}

MergeComponent::~MergeComponent() {
    --ServerLife::objects;
}

HRESULT MergeComponent::QueryInterface(REFIID iid, void** out) noexcept {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ILedgerixMerge) {
        *out = static_cast<ILedgerixMerge*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG MergeComponent::AddRef() noexcept {
    return ++m_refs;
}

ULONG MergeComponent::Release() noexcept {
    const ULONG refs = --m_refs;
    if (refs == 0) delete this;
    return refs;
}

HRESULT MergeComponent::GetVersion(long* version) noexcept {
    if (!version) return E_POINTER;
    *version = kInterfaceVersion;
    return S_OK;
}

HRESULT MergeComponent::MergeFiles(BSTR vaultName, long count, MergeSelection* items, void* reserved) noexcept {
    if (!IsWellFormedRequest(vaultName, count, items, reserved)) return E_INVALIDARG;
    try {
        const std::wstring vault(vaultName, ::SysStringLen(vaultName));
        if (!MergeWindow::Show(vault, items, count)) return E_FAIL;
        AppendToMergeLog(vault, items, count);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
