#pragma once
// The host's merge component, reached through COM: the module creates its class, asks for the
// merge interface and hands it the selected branch files as an array of fixed 128-byte records.
#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>

#include <cstddef>
#include <cstdint>

// {D5011EC8-B38F-46A7-902D-ED4BCDD51099}
inline constexpr CLSID CLSID_LedgerixMerge = {
    0xD5011EC8, 0xB38F, 0x46A7, {0x90, 0x2D, 0xED, 0x4B, 0xCD, 0xD5, 0x10, 0x99}};

// One selected branch file. The component checks every byte it knows: the leading 1, an empty
// VARIANT and a zero tail; anything else is refused as an invalid argument.
struct MergeSelection {
    std::uint32_t kind;            // always kMergeSelectionKind
    std::int32_t branchDocId;
    VARIANT reserved;              // VT_EMPTY
    std::int32_t branchFolderId;
    std::uint8_t tail[92];         // zero
};

inline constexpr std::uint32_t kMergeSelectionKind = 1;

static_assert(sizeof(MergeSelection) == 128, "the component reads 128-byte records");
static_assert(offsetof(MergeSelection, kind) == 0);
static_assert(offsetof(MergeSelection, branchDocId) == 4);
static_assert(offsetof(MergeSelection, reserved) == 8 && sizeof(VARIANT) == 24);
static_assert(offsetof(MergeSelection, branchFolderId) == 32);
static_assert(offsetof(MergeSelection, tail) == 36);

// The record for one branch file, every other byte as the component expects it.
inline MergeSelection MakeMergeSelection(std::int32_t branchDocId, std::int32_t branchFolderId) noexcept {
    MergeSelection record{};
    record.kind = kMergeSelectionKind;
    record.branchDocId = branchDocId;
    ::VariantInit(&record.reserved);
    record.branchFolderId = branchFolderId;
    return record;
}

// The component's merge interface. The module calls MergeFiles only (table entry 4).
struct ILedgerixMerge : public IUnknown {
    // Entry 3: the component's interface revision.
    virtual HRESULT STDMETHODCALLTYPE GetVersion(long* version) = 0;
    // Entry 4: merges `count` branch files of the vault named `vaultName` back into their
    // sources; `reserved` is null. Answers E_INVALIDARG for anything malformed.
    virtual HRESULT STDMETHODCALLTYPE MergeFiles(BSTR vaultName, long count, MergeSelection* items,
                                                 void* reserved) = 0;
};

// {90974858-AB61-4E15-9D88-89E2647C3001}
__CRT_UUID_DECL(ILedgerixMerge, 0x90974858, 0xAB61, 0x4E15, 0x9D, 0x88, 0x89, 0xE2, 0x64, 0x7C, 0x30, 0x01)
inline constexpr const IID& IID_ILedgerixMerge = __uuidof(ILedgerixMerge);
