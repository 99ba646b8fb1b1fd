#include "AlphaIcon.h"
#include <cstring>
#include "base/ScopedHandle.h"

HICON CreateAlphaIcon(const BgraImage& image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top-down, like the pixels
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    ScopedHBITMAP colour(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!colour)
        return nullptr;
    std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof(uint32_t));

    // Monochrome rows are padded to 16 bits; a set bit is a transparent pixel.
    const int rowBytes = (image.width + 15) / 16 * 2;
    std::vector<BYTE> maskBits(static_cast<size_t>(rowBytes) * image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if ((image.pixels[static_cast<size_t>(y) * image.width + x] >> 24) == 0)
                maskBits[static_cast<size_t>(y) * rowBytes + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
        }
    }
    ScopedHBITMAP mask(::CreateBitmap(image.width, image.height, 1, 1, maskBits.data()));
    if (!mask)
        return nullptr;
    ::GdiFlush();
    ICONINFO icon{TRUE, 0, 0, mask.get(), colour.get()};
    return ::CreateIconIndirect(&icon);
}
