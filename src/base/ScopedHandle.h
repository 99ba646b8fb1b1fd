#pragma once
// One owning type per kind of Win32 handle: every handle the module makes is closed by
// exactly one destructor, whatever path the code takes.
#include <windows.h>
#include <commctrl.h>
#include <oleauto.h>
#include <utility>

template <class T, class Traits>
class ScopedHandle {
public:
    ScopedHandle() noexcept = default;
    explicit ScopedHandle(T h) noexcept : m_h(h) {}
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& o) noexcept : m_h(o.release()) {}
    ScopedHandle& operator=(ScopedHandle&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    ~ScopedHandle() { reset(); }

    T get() const noexcept { return m_h; }
    explicit operator bool() const noexcept { return Traits::IsValid(m_h); }
    T release() noexcept { return std::exchange(m_h, Traits::Invalid()); }
    // Closing keeps the caller's last-error value: the close must not mask the failure being handled.
    void reset(T h = Traits::Invalid()) noexcept {
        if (h == m_h) return;
        if (Traits::IsValid(m_h)) {
            DWORD err = ::GetLastError();
            Traits::Close(m_h);
            ::SetLastError(err);
        }
        m_h = h;
    }
    // Out-pointer for APIs that create the handle; drops what was held.
    T* put() noexcept { reset(); return &m_h; }

private:
    T m_h = Traits::Invalid();
};

template <class T, auto CloseFn>
struct NullHandleTraits {
    static T Invalid() noexcept { return T(); }
    static bool IsValid(T h) noexcept { return h != T(); }
    static void Close(T h) noexcept { CloseFn(h); }
};

struct FileHandleTraits {
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) noexcept { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) noexcept { ::CloseHandle(h); }
};

inline void CloseGdiObject(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void CloseCoTaskMem(void* p) noexcept { ::CoTaskMemFree(p); }

using ScopedHKEY = ScopedHandle<HKEY, NullHandleTraits<HKEY, ::RegCloseKey>>;
using ScopedHICON = ScopedHandle<HICON, NullHandleTraits<HICON, ::DestroyIcon>>;
using ScopedHBITMAP = ScopedHandle<HBITMAP, NullHandleTraits<HBITMAP, CloseGdiObject>>;
using ScopedHBRUSH = ScopedHandle<HBRUSH, NullHandleTraits<HBRUSH, CloseGdiObject>>;
using ScopedHPEN = ScopedHandle<HPEN, NullHandleTraits<HPEN, CloseGdiObject>>;
using ScopedHMODULE = ScopedHandle<HMODULE, NullHandleTraits<HMODULE, ::FreeLibrary>>;
using ScopedHMENU = ScopedHandle<HMENU, NullHandleTraits<HMENU, ::DestroyMenu>>;
using ScopedHIMAGELIST = ScopedHandle<HIMAGELIST, NullHandleTraits<HIMAGELIST, ::ImageList_Destroy>>;
using ScopedMemDC = ScopedHandle<HDC, NullHandleTraits<HDC, ::DeleteDC>>;
using ScopedKernelHandle = ScopedHandle<HANDLE, NullHandleTraits<HANDLE, ::CloseHandle>>;
using ScopedFileHandle = ScopedHandle<HANDLE, FileHandleTraits>;
using ScopedBSTR = ScopedHandle<BSTR, NullHandleTraits<BSTR, ::SysFreeString>>;
template <class T>
using ScopedCoTaskMem = ScopedHandle<T*, NullHandleTraits<T*, CloseCoTaskMem>>;

// A DC from GetDC/GetWindowDC, given back to its window.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND wnd, bool wholeWindow = false) noexcept
        : m_wnd(wnd), m_dc(wholeWindow ? ::GetWindowDC(wnd) : ::GetDC(wnd)) {}
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    ~ScopedWindowDC() { if (m_dc) ::ReleaseDC(m_wnd, m_dc); }
    HDC get() const noexcept { return m_dc; }
    explicit operator bool() const noexcept { return m_dc != nullptr; }
private:
    HWND m_wnd;
    HDC m_dc;
};

// Selects a GDI object into a DC and selects the previous one back on scope exit.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ obj) noexcept : m_dc(dc), m_old(::SelectObject(dc, obj)) {}
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
    ~ScopedSelectObject() { if (m_old && m_old != HGDI_ERROR) ::SelectObject(m_dc, m_old); }
private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// Uninitialises COM only when this object's initialisation succeeded.
class ScopedCOMInitializer {
public:
    ScopedCOMInitializer() noexcept : m_hr(::CoInitialize(nullptr)) {}
    ScopedCOMInitializer(const ScopedCOMInitializer&) = delete;
    ScopedCOMInitializer& operator=(const ScopedCOMInitializer&) = delete;
    ~ScopedCOMInitializer() { if (SUCCEEDED(m_hr)) ::CoUninitialize(); }
    HRESULT hr() const noexcept { return m_hr; }
private:
    HRESULT m_hr;
};
