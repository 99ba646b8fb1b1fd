#include "toolkit/Icon.h"
#include <vector>
#include "base/ScopedGdiplus.h"
#include "base/ScopedHandle.h"

namespace BFC {

Icon::Icon(HICON icon, int width) : m_width(width), m_image(icon), m_icon(icon) {
    TakeSizeAndAlpha();
}

Icon::~Icon() = default;

// Converting an icon handle may drop partial alpha (soft edges, shadows): those pixels are
// written again from the icon's own bits. Fully opaque and fully clear ones come through intact.
void Icon::TakeSizeAndAlpha() {
    ICONINFO info{};
    if (!::GetIconInfo(m_icon, &info))
        return;
    const ScopedHBITMAP mask(info.hbmMask);
    const ScopedHBITMAP colour(info.hbmColor);
    BITMAP bitmap{};
    if (!colour || !::GetObjectW(colour.get(), sizeof(bitmap), &bitmap) || bitmap.bmBitsPixel != 32)
        return;
    m_width = bitmap.bmWidth;
    m_height = bitmap.bmHeight;
    const LONG size = bitmap.bmWidthBytes * bitmap.bmHeight;
    std::vector<BYTE> bits(static_cast<size_t>(size));
    if (!::GetBitmapBits(colour.get(), size, bits.data()))
        return;
    for (int y = 0; y < bitmap.bmHeight; ++y) {
        const auto* row = reinterpret_cast<const UINT32*>(bits.data() + static_cast<size_t>(y) * bitmap.bmWidthBytes);
        for (int x = 0; x < bitmap.bmWidth; ++x) {
            const UINT32 alpha = row[x] >> 24;
            if (alpha != 0 && alpha != 0xFF)
                m_image.SetPixel(x, y, Gdiplus::Color(row[x]));
        }
    }
}

// Made on the first disabled draw and kept: grey from the mean of the channels, dark greys lifted
// to 90 so that the shape still reads, and half the alpha.
Gdiplus::Bitmap* Icon::GreyImage() {
    if (m_greyImage)
        return &*m_greyImage;
    m_greyImage.emplace(m_width, m_height, PixelFormat32bppARGB);
    if (m_greyImage->GetLastStatus() != Gdiplus::Ok) {
        m_greyImage.reset();
        return nullptr;
    }
    {
        Gdiplus::Graphics graphics(&*m_greyImage);
        graphics.DrawImage(&m_image, 0, 0);
    }
    const ScopedBitmapLock bits(*m_greyImage, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite,
                                PixelFormat32bppARGB);
    if (bits.ok()) {
        for (UINT y = 0; y < bits.data().Height; ++y) {
            UINT32* row = bits.Row(y);
            for (UINT x = 0; x < bits.data().Width; ++x) {
                const UINT32 p = row[x];
                UINT32 grey = ((p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF)) / 3;
                if (grey < 100)
                    grey = 90;
                row[x] = ((p >> 25) << 24) | (grey << 16) | (grey << 8) | grey;
            }
        }
    }
    return &*m_greyImage;
}

void Icon::Draw(Gdiplus::Graphics& g, int x, int y, int state, int, int) {
    Gdiplus::Bitmap* image = state == StateDisabled ? GreyImage() : &m_image;
    if (image)
        g.DrawImage(image, static_cast<Gdiplus::REAL>(x + m_left), static_cast<Gdiplus::REAL>(y + m_top));
}

void Icon::GetRect(RECT& out) const { out = RECT{m_left, m_top, m_left + m_width, m_top + m_height}; }

void Icon::SetCenterY(int y) { m_top = y - m_height / 2; }

void Icon::SetLeft(int x) { m_left = x; }

void Icon::GetContent(std::wstring&, HICON& icon, UINT& resourceId, std::wstring& resourceName) const {
    icon = m_icon;
    resourceId = 0;
    resourceName.clear();
}

bool Icon::IsInteractive() const { return false; }

} // namespace BFC
