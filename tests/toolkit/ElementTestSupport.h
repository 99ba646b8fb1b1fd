#pragma once
// What the toolkit's tests share: icons made from known pixels, pixels read back from 32-bpp DIBs.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>
#include "base/ScopedHandle.h"
#include "base/Geometry.h"
#include "toolkit/UIObject.h"

namespace element_test {

using Pixels = std::vector<uint32_t>;  // rows top-down
constexpr uint32_t kWhite = 0xFFFFFF, kRed = 0xFFC82828;

inline ScopedHBITMAP MakeDib(int width, int height, uint32_t** bits) {
    const BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB}};
    return ScopedHBITMAP(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(bits), 0, 0));
}

// A square 32-bpp icon: colour(x, y) gives its pixels, opaque(x, y) its mask (all opaque without one).
inline ScopedHICON MakeIcon(int size, const std::function<uint32_t(int, int)>& colour,
                            const std::function<bool(int, int)>& opaque = nullptr) {
    uint32_t* bits = nullptr;
    const ScopedHBITMAP colours = MakeDib(size, size, &bits);
    const int stride = (size + 15) / 16 * 2;
    std::vector<BYTE> mask(static_cast<size_t>(size * stride));
    for (int i = 0; i < size * size; ++i) {
        bits[i] = colour(i % size, i / size);
        if (opaque && !opaque(i % size, i / size))
            mask[i / size * stride + i % size / 8] |= static_cast<BYTE>(0x80 >> (i % size % 8));
    }
    const ScopedHBITMAP maskBitmap(::CreateBitmap(size, size, 1, 1, mask.data()));
    ICONINFO info{TRUE, 0, 0, maskBitmap.get(), colours.get()};
    return ScopedHICON(::CreateIconIndirect(&info));
}
inline ScopedHICON RedIcon(int size = 16) { return MakeIcon(size, [](int, int) { return kRed; }); }

// The colour bitmap of an icon as 0xAARRGGBB pixels; empty when it cannot be read.
inline Pixels IconPixels(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info))
        return {};
    const ScopedHBITMAP colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    ::GetObjectW(colour.get(), sizeof(bm), &bm);
    BITMAPINFO bmi{{sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB}};
    Pixels pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    const ScopedMemDC dc(::CreateCompatibleDC(nullptr));
    return ::GetDIBits(dc.get(), colour.get(), 0, bm.bmHeight, pixels.data(), &bmi, DIB_RGB_COLORS) ? pixels : Pixels();
}

// Draws through a GDI+ graphics on the DC of a white DIB section; answers its 0xRRGGBB pixels.
inline Pixels DrawOnWhite(int width, int height, const std::function<void(Gdiplus::Graphics&)>& draw) {
    uint32_t* bits = nullptr;
    const ScopedHBITMAP dib = MakeDib(width, height, &bits);
    std::fill(bits, bits + width * height, kWhite);
    const ScopedMemDC dc(::CreateCompatibleDC(nullptr));
    {
        const ScopedSelectObject select(dc.get(), dib.get());
        Gdiplus::Graphics graphics(dc.get());
        draw(graphics);
    }
    ::GdiFlush();
    Pixels pixels(static_cast<size_t>(width * height));
    std::transform(bits, bits + width * height, pixels.begin(), [](uint32_t pixel) { return pixel & kWhite; });
    return pixels;
}

// ARGB over opaque 0xRRGGBB as AlphaBlend does it: premultiplied source plus the rest, each rounded.
inline uint32_t Blend(uint32_t argb, uint32_t below = kWhite) {
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t s = (argb >> shift) & 0xFF, d = (below >> shift) & 0xFF, alpha = argb >> 24;
        result |= ((s * alpha + 127) / 255 + (d * (255 - alpha) + 127) / 255) << shift;
    }
    return result;
}

inline CRect RectOf(const BFC::UIObject& element) {
    CRect rect;
    element.GetRect(rect);
    return rect;
}

} // namespace element_test
