#include "icons/ComposeOverlayIcon.h"
#include "base/ScopedGdiplus.h"
#include "base/ScopedHandle.h"

namespace {

constexpr UINT32 kOpaque = 0xFF000000;

// An icon made from a plain bitmap has alpha 0 everywhere, which GDI+ would take as invisible:
// where the mask marks the pixel opaque, make it so. Alpha that the picture has is kept.
bool RepairAlpha(const ScopedBitmapLock& colour, HBITMAP maskBitmap) {
    Gdiplus::Bitmap mask(maskBitmap, nullptr);
    ScopedBitmapLock maskBits(mask, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB);
    if (!maskBits.ok() || maskBits.data().Width < colour.data().Width || maskBits.data().Height < colour.data().Height)
        return false;
    for (UINT y = 0; y < colour.data().Height; ++y) {
        UINT32* pixels = colour.Row(y);
        const UINT32* maskPixels = maskBits.Row(y);
        for (UINT x = 0; x < colour.data().Width; ++x)
            if ((pixels[x] & kOpaque) == 0 && (maskPixels[x] & 0xFF) == 0)
                pixels[x] |= kOpaque;
    }
    return true;
}

// Draws the overlay straight into the locked pixels and makes the icon of the result.
HICON DrawOverlay(const ScopedBitmapLock& colour, HIMAGELIST list, int overlaySlot) {
    const Gdiplus::BitmapData& bits = colour.data();
    Gdiplus::Bitmap target(static_cast<INT>(bits.Width), static_cast<INT>(bits.Height), bits.Stride,
                           PixelFormat32bppARGB, static_cast<BYTE*>(bits.Scan0));
    {
        Gdiplus::Graphics graphics(&target);
        ScopedGraphicsDC dc(graphics);
        if (dc.get())
            ::ImageList_Draw(list, overlaySlot, dc.get(), 0, 0, ILD_TRANSPARENT);
    }
    HICON result = nullptr;
    if (target.GetHICON(&result) != Gdiplus::Ok)
        return nullptr;
    return result;
}

} // namespace

HICON ComposeOverlayIcon(HICON base, HIMAGELIST list, int overlaySlot) {
    ICONINFO info{};
    if (!::GetIconInfo(base, &info))
        return nullptr;
    const ScopedHBITMAP colourBitmap(info.hbmColor);
    const ScopedHBITMAP maskBitmap(info.hbmMask);
    Gdiplus::Bitmap colour(colourBitmap.get(), nullptr);
    ScopedBitmapLock colourBits(colour, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite, PixelFormat32bppRGB);
    if (!colourBits.ok() || !RepairAlpha(colourBits, maskBitmap.get()))
        return nullptr;
    return DrawOverlay(colourBits, list, overlaySlot);
}
