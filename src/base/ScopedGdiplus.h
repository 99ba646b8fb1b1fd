#pragma once
// Owners for the GDI+ state that its wrapper classes leave to the caller: a start-up, a pixel
// lock and a graphics object's device context. Whoever includes this links gdiplus.
#include <windows.h>
#include <objidl.h>  // GDI+ needs PROPID, which WIN32_LEAN_AND_MEAN leaves out
#include <gdiplus.h>

// GDI+ counts nested start-ups: this one is shut down only when it succeeded.
class ScopedGdiplusStartup {
public:
    ScopedGdiplusStartup() noexcept { m_status = Gdiplus::GdiplusStartup(&m_token, &m_input, nullptr); }
    ScopedGdiplusStartup(const ScopedGdiplusStartup&) = delete;
    ScopedGdiplusStartup& operator=(const ScopedGdiplusStartup&) = delete;
    ~ScopedGdiplusStartup() { if (ok()) Gdiplus::GdiplusShutdown(m_token); }
    bool ok() const noexcept { return m_status == Gdiplus::Ok; }

private:
    Gdiplus::GdiplusStartupInput m_input;  // version 1, no debug callback, nothing suppressed
    ULONG_PTR m_token = 0;
    Gdiplus::Status m_status;
};

// Pixels of a bitmap locked in one format; unlocked on scope exit when the lock succeeded. A
// failed lock leaves its status in the bitmap.
class ScopedBitmapLock {
public:
    ScopedBitmapLock(Gdiplus::Bitmap& bitmap, UINT mode, Gdiplus::PixelFormat format) noexcept : m_bitmap(bitmap) {
        const Gdiplus::Rect all(0, 0, static_cast<INT>(bitmap.GetWidth()), static_cast<INT>(bitmap.GetHeight()));
        m_locked = bitmap.LockBits(&all, mode, format, &m_data) == Gdiplus::Ok;
    }
    ScopedBitmapLock(const ScopedBitmapLock&) = delete;
    ScopedBitmapLock& operator=(const ScopedBitmapLock&) = delete;
    ~ScopedBitmapLock() { if (m_locked) m_bitmap.UnlockBits(&m_data); }
    bool ok() const noexcept { return m_locked; }
    const Gdiplus::BitmapData& data() const noexcept { return m_data; }
    // The 32-bit pixels of row y; only for a lock in a 32-bit format.
    UINT32* Row(UINT y) const noexcept {
        return reinterpret_cast<UINT32*>(static_cast<BYTE*>(m_data.Scan0) + static_cast<INT_PTR>(y) * m_data.Stride);
    }

private:
    Gdiplus::Bitmap& m_bitmap;
    Gdiplus::BitmapData m_data{};
    bool m_locked = false;
};

// The device context of a GDI+ graphics object, given back on scope exit.
class ScopedGraphicsDC {
public:
    explicit ScopedGraphicsDC(Gdiplus::Graphics& graphics) noexcept : m_graphics(graphics), m_dc(graphics.GetHDC()) {}
    ScopedGraphicsDC(const ScopedGraphicsDC&) = delete;
    ScopedGraphicsDC& operator=(const ScopedGraphicsDC&) = delete;
    ~ScopedGraphicsDC() { if (m_dc) m_graphics.ReleaseHDC(m_dc); }
    HDC get() const noexcept { return m_dc; }

private:
    Gdiplus::Graphics& m_graphics;
    HDC m_dc;
};
