#include "icons/CIcon.h"
#include "base/ScopedGdiplus.h"
#include "icons/ComposeOverlayIcon.h"

namespace {

// GDI+ keeps the pictures' alpha; it runs only for this one composition.
HICON ComposeWithAlpha(HIMAGELIST list, int baseSlot, int overlaySlot) {
    const ScopedGdiplusStartup gdiplus;
    if (!gdiplus.ok())
        return nullptr;
    const ScopedHICON base(::ImageList_GetIcon(list, baseSlot, 0));
    return base ? ComposeOverlayIcon(base.get(), list, overlaySlot) : nullptr;
}

HICON Merge(HIMAGELIST list, int baseSlot, int overlaySlot) {
    const ScopedHIMAGELIST merged(::ImageList_Merge(list, baseSlot, list, overlaySlot, 0, 0));
    return merged ? ::ImageList_GetIcon(merged.get(), 0, 0) : nullptr;
}

} // namespace

CIcon::CIcon(HIMAGELIST list, int baseSlot, int overlaySlot) {
    IMAGEINFO info{};
    if (!::ImageList_GetImageInfo(list, baseSlot, &info))
        return;
    BITMAP bitmap{};
    if (!::GetObjectW(info.hbmImage, sizeof(bitmap), &bitmap))
        return;
    if (bitmap.bmBitsPixel == 32)
        m_icon.reset(ComposeWithAlpha(list, baseSlot, overlaySlot));
    if (!m_icon)
        m_icon.reset(Merge(list, baseSlot, overlaySlot));
}
