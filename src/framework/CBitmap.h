#pragma once
#include <windows.h>
#include "base/ScopedHandle.h"

// Owns a GDI bitmap; the bitmap is deleted with the object.
class CBitmap {
public:
    CBitmap() noexcept = default;
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;
    virtual ~CBitmap() = default;

    HBITMAP GetSafeHandle() const noexcept { return m_bitmap.get(); }
    operator HBITMAP() const noexcept { return GetSafeHandle(); }

    // A cx x cy bitmap in the format of `dc`; false leaves the object empty.
    [[nodiscard]] bool CreateCompatibleBitmap(HDC dc, int cx, int cy) noexcept {
        m_bitmap.reset(::CreateCompatibleBitmap(dc, cx, cy));
        return static_cast<bool>(m_bitmap);
    }
    bool DeleteObject() noexcept {
        if (!m_bitmap)
            return false;
        m_bitmap.reset();
        return true;
    }

private:
    ScopedHBITMAP m_bitmap;
};
