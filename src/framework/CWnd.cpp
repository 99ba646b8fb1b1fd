#include "framework/CWnd.h"
#include <memory>
#include <unordered_map>
#include <vector>
#include "base/Lock.h"
#include "framework/AfxRegisterWndClass.h"

namespace {

// HWNDs are unique across the process, so one map serves every thread. No thread-local
// storage here: with the static MinGW runtime, emulated TLS in a DLL used from threads the
// host made itself corrupts the heap when those threads end.
class HandleMap {
public:
    CWnd* Find(HWND wnd) const noexcept {
        CSingleLock lock(m_lock);
        auto it = m_permanent.find(wnd);
        return it == m_permanent.end() ? nullptr : it->second;
    }
    bool Add(HWND wnd, CWnd* object) noexcept {
        CSingleLock lock(m_lock);
        try {
            m_permanent[wnd] = object;
            return true;
        } catch (...) {
            return false;
        }
    }
    void Remove(HWND wnd, const CWnd* object) noexcept {
        CSingleLock lock(m_lock);
        auto it = m_permanent.find(wnd);
        if (it != m_permanent.end() && it->second == object)
            m_permanent.erase(it);
    }
    // A wrapper for a window nobody attached, owned by the thread that asked for it.
    CWnd* Temporary(HWND wnd) {
        CSingleLock lock(m_lock);
        auto& slot = m_temporary[wnd];
        if (!slot.object) {
            slot.object = std::make_unique<CWnd>();
            slot.object->m_hWnd = wnd;
            slot.thread = ::GetCurrentThreadId();
        }
        return slot.object.get();
    }
    // A detached temporary wrapper destroys nothing and takes no lock: freeing it here is safe.
    void DeleteTemporaries(DWORD thread) noexcept {
        CSingleLock lock(m_lock);
        for (auto it = m_temporary.begin(); it != m_temporary.end();) {
            if (it->second.thread == thread) {
                it->second.object->m_hWnd = nullptr;
                it = m_temporary.erase(it);
            } else {
                ++it;
            }
        }
    }

private:
    struct TemporaryEntry {
        std::unique_ptr<CWnd> object;
        DWORD thread = 0;
    };

    mutable CCriticalSection m_lock;
    std::unordered_map<HWND, CWnd*> m_permanent;
    std::unordered_map<HWND, TemporaryEntry> m_temporary;
};

HandleMap g_handles;

} // namespace

CWnd::~CWnd() {
    if (m_hWnd) {
        if (m_pfnSuper && ::IsWindow(m_hWnd))
            UnsubclassWindow();
        else
            Detach();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND wnd) noexcept {
    return g_handles.Find(wnd);
}

CWnd* CWnd::FromHandle(HWND wnd) {
    if (!wnd)
        return nullptr;
    if (CWnd* known = FromHandlePermanent(wnd))
        return known;
    return g_handles.Temporary(wnd);
}

void CWnd::DeleteTempMap() noexcept {
    g_handles.DeleteTemporaries(::GetCurrentThreadId());
}

bool CWnd::Attach(HWND wnd) noexcept {
    if (!wnd || m_hWnd)
        return false;
    if (!g_handles.Add(wnd, this))
        return false;
    m_hWnd = wnd;
    return true;
}

HWND CWnd::Detach() noexcept {
    HWND wnd = m_hWnd;
    if (wnd)
        g_handles.Remove(wnd, this);
    m_hWnd = nullptr;
    return wnd;
}

bool CWnd::SubclassWindow(HWND wnd) noexcept {
    if (!Attach(wnd))
        return false;
    auto previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (!previous) {
        Detach();
        return false;
    }
    if (previous != &AfxWndProc)
        m_pfnSuper = previous;
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) noexcept {
    HWND item = parent ? ::GetDlgItem(parent->m_hWnd, static_cast<int>(id)) : nullptr;
    return item && SubclassWindow(item);
}

HWND CWnd::UnsubclassWindow() noexcept {
    if (m_pfnSuper && m_hWnd)
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

std::wstring CWnd::GetWindowText() const {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool CWnd::DestroyWindow() noexcept {
    if (!m_hWnd)
        return false;
    HWND wnd = m_hWnd;
    bool destroyed = ::DestroyWindow(wnd) != FALSE;
    if (m_hWnd == wnd && !::IsWindow(wnd))
        Detach();
    return destroyed;
}

bool CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                    CWnd* parent, UINT id) noexcept {
    if (m_hWnd)
        return false;
    HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
    HWND wnd = ::CreateWindowExW(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                                 rect.bottom - rect.top, parent ? parent->GetSafeHwnd() : nullptr, menu,
                                 AfxClassInstance(), nullptr);
    if (!wnd)
        return false;
    if (!SubclassWindow(wnd)) {
        ::DestroyWindow(wnd);
        return false;
    }
    return true;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (!OnWndMsg(msg, wp, lp, &result))
        result = DefWindowProc(msg, wp, lp);
    return result;
}

bool CWnd::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    switch (msg) {
    case WM_COMMAND:
        if (OnCommand(wp, lp)) {
            *result = 0;
            return true;
        }
        return false;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lp);
        if (!header)
            return false;
        if (CWnd* child = FromHandlePermanent(header->hwndFrom);
            child && child != this && child->OnChildNotify(msg, wp, lp, result))
            return true;
        return OnNotify(wp, lp, result);
    }
    default:
        return false;
    }
}

bool CWnd::OnCommand(WPARAM, LPARAM) { return false; }

bool CWnd::OnNotify(WPARAM, LPARAM, LRESULT*) { return false; }

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (m_pfnSuper)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, msg, wp, lp);
    return ::DefWindowProcW(m_hWnd, msg, wp, lp);
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_currentMsg.message, m_currentMsg.wParam, m_currentMsg.lParam);
}

LRESULT CALLBACK AfxWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    CWnd* self = CWnd::FromHandlePermanent(wnd);
    if (!self)
        return ::DefWindowProcW(wnd, msg, wp, lp);

    // Saved and restored: a handler may cause the same window to receive another message.
    const MSG saved = self->m_currentMsg;
    self->m_currentMsg = MSG{wnd, msg, wp, lp, 0, {}};
    LRESULT result = 0;
    try {
        result = self->WindowProc(msg, wp, lp);
    } catch (...) {
        // Nothing may unwind through the system's dispatcher; the message counts as handled.
    }
    self->m_currentMsg = saved;

    if (msg == WM_NCDESTROY) {
        // The window is gone: give the original procedure back and let the object go.
        if (self->m_pfnSuper)
            ::SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->m_pfnSuper));
        self->m_pfnSuper = nullptr;
        self->Detach();
        self->PostNcDestroy();
    }
    return result;
}
