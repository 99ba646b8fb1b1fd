#pragma once
// What the element and image-list tests share: icons made from known pixels, and pixels read
// back from 32-bpp DIBs.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <cstdint>
#include <functional>
#include <vector>
#include "base/ScopedHandle.h"

namespace element_test {

using Pixels = std::vector<uint32_t>;  // rows top-down
constexpr uint32_t kWhite = 0xFFFFFF;

// A square 32-bpp icon: colour(x, y) gives its pixels, opaque(x, y) its mask (all opaque without one).
ScopedHICON MakeIcon(int size, const std::function<uint32_t(int, int)>& colour,
                     const std::function<bool(int, int)>& opaque = nullptr);
// The colour bitmap of an icon as 0xAARRGGBB pixels; empty when it cannot be read.
Pixels IconPixels(HICON icon);
// Draws through a GDI+ graphics on the DC of a white DIB section; answers its 0xRRGGBB pixels.
Pixels DrawOnWhite(int width, int height, const std::function<void(Gdiplus::Graphics&)>& draw);
// ARGB over opaque 0xRRGGBB as AlphaBlend does it: premultiplied source plus the rest, each rounded.
uint32_t Blend(uint32_t argb, uint32_t below = kWhite);

} // namespace element_test
