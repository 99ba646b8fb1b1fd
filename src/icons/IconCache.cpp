#include "icons/IconCache.h"
#include <shlobj.h>
#include <memory>
#include "contracts/Glyphset.h"
#include "contracts/ZebSettings.h"
#include "icons/CIcon.h"
#include "icons/GetFileIcons.h"
#include "icons/WorkflowIcons.h"

namespace {

constexpr WfIconID kUnknownType = 851;
constexpr wchar_t kUnknownPng[] = L"PNG_UNKNOWN";

struct BuiltinIcon {
    WfIconID id;
    const wchar_t* png;
};
// Loaded together on the first built-in request, in this order: their indices are the first ones
// a fresh cache hands out.
constexpr BuiltinIcon kBuiltinSet[] = {
    {127, L"PNG_UNKNOWN"},          {121, L"PNG_FOLDER_VAULT"},     {126, L"PNG_FOLDER_VAULT"},
    {122, L"PNG_FOLDER_GRAY"},      {123, L"PNG_OPEN_FOLDER_GRAY"}, {125, L"PNG_FOLDER_OFFLINE"},
    {120, L"PNG_OPEN_OFFLINE"},     {124, L"PNG_OVERLAY_SHARED"},   {128, L"PNG_COMPUTER"},
    {130, L"PNG_LINK"},             {131, L"PNG_WORKFLOW"},         {314, L"PNG_IGNORE_PREV_STATE_PARAM"},
};

BuiltinIcon OverlayOf(int variant) {
    if (variant == Shared)
        return {124, L"PNG_OVERLAY_SHARED"};
    if (variant == Link)
        return {130, L"PNG_LINK"};
    return {314, L"PNG_IGNORE_PREV_STATE_PARAM"};
}

int PixelSize(int useType) {
    return CDPIHelper::get()->getDesiredBitmapImageSz(static_cast<e_kivImageUseType>(useType));
}

std::wstring Lower(std::wstring text) {
    if (!text.empty())
        ::CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// A memory DC like the screen's; 0 bits, or no DC at all, is taken as the poorest display.
int MeasureColourDepth() {
    const ScopedMemDC dc(::CreateCompatibleDC(nullptr));
    const int depth = dc ? ::GetDeviceCaps(dc.get(), BITSPIXEL) : 0;
    return depth == 0 ? 4 : depth;
}

} // namespace

IconCache::IconCache() : m_statusIconNames(MakeStatusIconNames()) {}

IconCache::~IconCache() {
    m_workflowLibrary.reset();
    std::vector<int> freed;
    for (auto& view : m_views) {
        for (auto& file : view.second->files)
            Release(file.second, freed);
        delete view.second;
    }
    m_views.clear();
    for (auto* map : {&m_extensions, &m_types})
        for (auto& entry : *map)
            Release(entry.second, freed);
    for (auto& builtin : m_builtins)
        Release(builtin.second, freed);
    // Lists outlive the cache when someone else still holds them: their slots become reusable.
    for (const int logical : freed)
        for (auto& list : m_imageLists)
            static_cast<void>(list.second->ReturnSlot(logical));
}

void IconCache::Release(IconData* entry, std::vector<int>& freed) {
    if (::InterlockedDecrement(&entry->refCount) != 0)
        return;
    if (!entry->builtin)
        for (const int logical : entry->index)
            if (logical >= 0)
                freed.push_back(logical);
    delete entry;
}

int IconCache::PlainIndexOf(const IconData* entry) noexcept {
    return entry->index[Plain] < 0 ? -1 : entry->index[Plain];
}

IconCache::ViewData* IconCache::DefaultViewData(bool create) {
    const auto found = m_views.find(DefaultView);
    if (found != m_views.end())
        return found->second;
    if (!create)
        return nullptr;
    auto* view = new ViewData;
    m_views[DefaultView] = view;
    return view;
}

int IconCache::GetFileIconIndex(const wchar_t* fileName) {
    const std::wstring name = fileName ? fileName : L"";
    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos || dot + 1 == name.size() || name.find(L'\\', dot) != std::wstring::npos)
        return GetWfIconIndex(kUnknownType, Plain, kUnknownPng, m_workflowUseType);
    const std::wstring extension = Lower(name.substr(dot + 1));

    const CSingleLock lock(m_lock);
    const auto byType = m_extensions.find(extension);
    if (byType != m_extensions.end())
        return PlainIndexOf(byType->second);
    const std::wstring lowerName = Lower(name);
    ViewData* view = DefaultViewData(false);
    if (view) {
        const auto byFile = view->files.find(lowerName);
        if (byFile != view->files.end())
            return PlainIndexOf(byFile->second);
    }
    return AddFileIcon(extension, lowerName, view);
}

int IconCache::FindInOtherViews(const std::wstring& fileName, ViewData* defaultView) {
    for (auto& view : m_views) {
        if (view.first == DefaultView)
            continue;
        const auto found = view.second->files.find(fileName);
        if (found == view.second->files.end())
            continue;
        IconData* entry = found->second;
        if (!defaultView)
            defaultView = DefaultViewData(true);
        defaultView->files[fileName] = entry;
        ::InterlockedIncrement(&entry->refCount);
        return PlainIndexOf(entry);
    }
    return -2;  // not found: the caller looks the file up itself
}

int IconCache::AddFileIcon(const std::wstring& extension, const std::wstring& fileName, ViewData* defaultView) {
    const int shared = FindInOtherViews(fileName, defaultView);
    if (shared != -2)
        return shared;

    std::unique_ptr<IconData> made(new IconData);
    IconData* entry = made.get();
    IconLookup found = GetFileIcons(fileName.c_str());
    entry->typeName = std::move(found.typeName);
    entry->typeNameFromRegistry = found.typeNameFromRegistry ? 1 : 0;

    if (found.flags & (GIL_PERINSTANCE | GIL_DONTCACHE))
        DefaultViewData(true)->files[fileName] = entry;
    else
        m_extensions[extension] = entry;
    made.release();
    if (m_types.emplace(extension, entry).second)
        ::InterlockedIncrement(&entry->refCount);

    if (found.result != IconLookupResult::None) {
        const int index = NewIndex(found.flags);
        HICON large = found.large ? found.large.get() : found.small.get();
        HICON small = found.small ? found.small.get() : found.large.get();
        const bool stored = SetIcon(index, large, PixelSize(kivImageUseLarge)) &&
                            SetIcon(index, small, PixelSize(kivImageUseSmall));
        found.small.reset();
        found.large.reset();
        if (index < 0 || !stored)
            return -1;
        entry->index[Plain] = index;
        entry->builtin = false;
        return index;
    }

    // The shell knows no icon for the type: the library's unknown-type picture and its variants.
    for (int variant = Plain; variant <= IgnorePrevState; ++variant)
        entry->index[variant] = GetWfIconIndex(kUnknownType, variant, kUnknownPng, m_workflowUseType);
    entry->builtin = true;
    return entry->index[Plain];
}

void IconCache::LoadBuiltinSet() {
    for (const auto& icon : kBuiltinSet)
        static_cast<void>(AddWfIcon(icon.id, Plain, nullptr, icon.png, m_workflowUseType));
    // Also after failures: a later request for a missing picture tries its own load again.
    m_builtinsLoaded = true;
}

int IconCache::GetWfIconIndex(WfIconID id, int variant, const wchar_t* pngName, int useType) {
    const CSingleLock lock(m_lock);
    if (!m_builtinsLoaded)
        LoadBuiltinSet();
    IconData* entry = nullptr;
    const auto found = m_builtins.find(id);
    if (found != m_builtins.end()) {
        entry = found->second;
        if (variant >= Plain && variant <= IgnorePrevState && entry->index[variant] != -1)
            return entry->index[variant];
    }
    return AddWfIcon(id, variant, entry, pngName, useType);
}

int IconCache::AddWfIcon(WfIconID id, int variant, IconData* existing, const wchar_t* pngName, int useType) {
    if (!LoadGlyphsetModule(m_workflowLibrary))
        return -1;
    const int index = NewIndex(0);
    if (pngName && *pngName) {
        const ScopedHICON forUse(LoadWfPngIcon(pngName, useType));
        const ScopedHICON large(LoadWfPngIcon(pngName, kivImageUseLarge));
        if (!forUse || !large)
            return -1;
        const bool largeStored = SetIcon(index, large.get(), PixelSize(kivImageUseLarge));
        const bool useStored = SetIcon(index, forUse.get(), PixelSize(useType));
        if (!largeStored || !useStored)
            return -1;
    } else if (!LoadWfResourceIcon(id, PixelSize(kivImageUseSmall), index) ||
               !LoadWfResourceIcon(id, PixelSize(kivImageUseLarge), index)) {
        return -1;
    }

    IconData* entry = existing;
    if (!entry) {
        entry = new IconData;
        m_builtins[id] = entry;
    }
    entry->index[Plain] = index;
    entry->builtin = true;
    return variant != Plain ? GetOverlayIndex(variant, entry, 0) : index;
}

bool IconCache::LoadWfResourceIcon(WfIconID id, int size, int index) {
    ScopedHICON icon;
    if (id >= kFirstPngIconNumber && id <= kLastPngIconNumber)
        icon.reset(LoadWfPngIconById(id));
    else
        icon.reset(static_cast<HICON>(
            ::LoadImageW(m_workflowLibrary.get(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
    return icon && SetIcon(index, icon.get(), size);
}

int IconCache::GetOverlayIndex(int variant, IconData* entry, DWORD flags) {
    const BuiltinIcon overlay = OverlayOf(variant);
    const int overlayIndex = GetWfIconIndex(overlay.id, Plain, overlay.png, m_workflowUseType);
    const int index = NewIndex(flags);
    const int base = entry->index[Plain];
    if (base < 0 || overlayIndex < 0)
        return -1;
    for (const auto& sized : m_imageLists) {
        CIcon composed(sized.second->GetSafeHandle(), base, overlayIndex);
        const ScopedHICON icon(composed.Detach());
        if (!icon || !SetIcon(index, icon.get(), sized.first))
            return -1;
    }
    if (variant >= Plain && variant <= IgnorePrevState)
        entry->index[variant] = index;
    return index;
}

int IconCache::NewIndex(DWORD flags) {
    const int index = m_nextIndex++;
    if (m_indexFlags.size() <= static_cast<size_t>(index))
        m_indexFlags.resize(static_cast<size_t>(index) + 1, 0);
    m_indexFlags[static_cast<size_t>(index)] = flags;
    return index;
}

bool IconCache::SetIcon(int index, HICON icon, int size) {
    const CSingleLock lock(m_lock);
    const ImageListPtr list = GetImageList(size);
    if (!list || index < 0)
        return false;
    const HIMAGELIST handle = list->GetSafeHandle();
    if (index < list->LogicalCount())
        return ::ImageList_ReplaceIcon(handle, list->PhysicalSlot(index), icon) >= 0;
    while (list->LogicalCount() <= index) {
        const int free = list->TakeFreeSlot();
        const int slot = ::ImageList_ReplaceIcon(handle, free, icon);
        if (slot < 0 || (free >= 0 && slot != free))
            return false;
        list->RecordSlot(slot);
    }
    return true;
}

IconCache::ImageListPtr IconCache::GetImageList(int size) {
    const auto found = m_imageLists.find(size);
    if (found != m_imageLists.end())
        return found->second;
    if (m_colourDepth == 0)
        m_colourDepth = MeasureColourDepth();
    const UINT flags = ILC_MASK | (m_colourDepth < 8 ? ILC_COLOR4 : ILC_COLOR32);
    ImageListPtr list(new IconImageList);
    if (!list->Adopt(::ImageList_Create(size, size, flags, 0, 10)))
        return ImageListPtr();
    m_imageLists[size] = list;
    return list;
}

HICON IconCache::CopyIcon(int index, int size) {
    const CSingleLock lock(m_lock);
    const auto found = m_imageLists.find(size);
    if (found == m_imageLists.end() || index == -1)
        return nullptr;
    return ::ImageList_GetIcon(found->second->GetSafeHandle(), found->second->PhysicalSlot(index), 0);
}
