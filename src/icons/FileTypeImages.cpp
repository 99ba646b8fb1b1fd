#include "icons/FileTypeImages.h"
#include <algorithm>
#include <cwctype>
#include <shellapi.h>
#include "icons/GetExtensionIcons.h"
#include "icons/GetFileIcons.h"

// The image list empties and destroys itself after the map.
FileTypeImages::~FileTypeImages() { m_extToImage.clear(); }

bool FileTypeImages::Create(SIZE size) {
    if (m_imageList.GetSafeHandle())
        return true;
    HIMAGELIST list = ::ImageList_Create(size.cx, size.cy, ILC_COLOR32 | ILC_MASK, 10, 10);
    if (!list || !m_imageList.Attach(list))
        return false;
    ::ImageList_SetBkColor(list, CLR_NONE);
    return true;
}

int FileTypeImages::GetFileImageIndex(const wchar_t* fileName) {
    std::wstring name = fileName ? fileName : L"";
    const size_t dot = name.rfind(L'.');
    std::wstring extension = dot == std::wstring::npos ? std::wstring() : name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });

    auto known = m_extToImage.find(extension);
    if (known != m_extToImage.end())
        return known->second;
    if (!m_imageList.GetSafeHandle())
        return -1;

    // The type's registration first (no file, so no icon handler is loaded for it), then
    // the file itself, then the shell's icon for an unregistered type.
    ScopedHICON icon;
    {
        IconLookup byType = GetExtensionIcons(extension.c_str(), WantedIcons::Both);
        icon = byType.small ? std::move(byType.small) : std::move(byType.large);
    }
    if (!icon)
        icon = std::move(GetFileIcons(name.c_str(), WantedIcons::Both).small);
    if (!icon) {
        SHFILEINFOW info{};
        if (::SHGetFileInfoW(L"UnknownIcon", FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                             SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES))
            icon.reset(info.hIcon);
    }
    if (!icon)
        return -1;

    HIMAGELIST list = m_imageList.GetSafeHandle();
    const int count = ::ImageList_GetImageCount(list);
    ::ImageList_SetImageCount(list, static_cast<UINT>(count + 1));
    const int index = ::ImageList_ReplaceIcon(list, count, icon.get());
    if (index >= 0)
        m_extToImage.emplace(std::move(extension), index);
    return index;
}
