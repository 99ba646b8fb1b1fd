#pragma once
// The merge component's object: IUnknown and the merge interface. It takes only what it can read
// as well-formed records; everything else is refused with E_INVALIDARG before anything is shown.
#include <atomic>

#include "contracts/MergeComponent.h"

class MergeComponent final : public ILedgerixMerge {
public:
    MergeComponent() noexcept;
    MergeComponent(const MergeComponent&) = delete;
    MergeComponent& operator=(const MergeComponent&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override;
    ULONG STDMETHODCALLTYPE Release() noexcept override;

    HRESULT STDMETHODCALLTYPE GetVersion(long* version) noexcept override;
    HRESULT STDMETHODCALLTYPE MergeFiles(BSTR vaultName, long count, MergeSelection* items,
                                         void* reserved) noexcept override;

private:
    ~MergeComponent();

    std::atomic<ULONG> m_refs{1};
};
