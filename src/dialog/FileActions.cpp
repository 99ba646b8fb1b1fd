#include "dialog/FileActions.h"
#include <ole2.h>
#include <shlwapi.h>
#include "base/ScopedHandle.h"

std::unique_ptr<CBitmap> MakeMenuBitmap(HICON icon, int cx, int cy) {
    if (!icon)
        return nullptr;
    auto bitmap = std::make_unique<CBitmap>();
    {
        ScopedWindowDC screen(nullptr, true);
        if (!screen || !bitmap->CreateCompatibleBitmap(screen.get(), cx, cy))
            return nullptr;
    }
    ScopedMemDC memory(::CreateCompatibleDC(nullptr));
    if (!memory)
        return bitmap;
    ScopedSelectObject selected(memory.get(), bitmap->GetSafeHandle());
    RECT rect{0, 0, cx, cy};
    ScopedHBRUSH menuColour(::CreateSolidBrush(::GetSysColor(COLOR_MENU)));
    ::FillRect(memory.get(), &rect, menuColour.get());
    ::DrawIconEx(memory.get(), 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL);
    return bitmap;
}

void TrimToExistingFolder(std::wstring& path) {
    while (!::PathFileExistsW(path.c_str())) {
        const size_t separator = path.rfind(L'\\');
        if (separator == std::wstring::npos)
            return;
        path.erase(separator);
    }
}

std::wstring ExplorerSelectArguments(const std::wstring& file) {
    return L"/e,/select,\"" + file + L"\"";
}

std::wstring ExplorerFolderArguments(const std::wstring& folder) {
    return L"/e,\"" + folder + L"\\\"";
}

namespace {

template <class T>
struct ComReleaser {
    void operator()(T* p) const noexcept { p->Release(); }
};
template <class T>
using ComRef = std::unique_ptr<T, ComReleaser<T>>;

} // namespace

HRESULT MergeBranchFiles(const std::wstring& vaultName, std::vector<MergeSelection>& records) {
    ComRef<ILedgerixMerge> merge;
    {
        IUnknown* created = nullptr;
        HRESULT hr = ::CoCreateInstance(CLSID_LedgerixMerge, nullptr, CLSCTX_ALL, IID_IUnknown,
                                        reinterpret_cast<void**>(&created));
        if (FAILED(hr))
            return hr;
        ComRef<IUnknown> unknown(created);
        if (FAILED(hr = ::OleRun(unknown.get())))
            return hr;
        ILedgerixMerge* found = nullptr;
        if (FAILED(hr = unknown->QueryInterface(IID_ILedgerixMerge, reinterpret_cast<void**>(&found))))
            return hr;
        merge.reset(found);
    }
    ScopedBSTR name(::SysAllocStringLen(vaultName.data(), static_cast<UINT>(vaultName.size())));
    if (!name)
        return E_OUTOFMEMORY;
    return merge->MergeFiles(name.get(), static_cast<long>(records.size()), records.data(), nullptr);
}
