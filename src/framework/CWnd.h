#pragma once
#include <windows.h>
#include <string>
#include "base/Geometry.h"

// A window object attached to an HWND. Attached objects are found again through the handle
// map; subclassed ones receive the window's messages through WindowProc, which dispatches
// to OnWndMsg (the class's message map) and falls back to the original window procedure.
class CWnd {
public:
    CWnd() noexcept = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const noexcept { return m_hWnd; }
    operator HWND() const noexcept { return GetSafeHwnd(); }

    // The object attached to `wnd`, or a temporary one that lives until DeleteTempMap.
    static CWnd* FromHandle(HWND wnd);
    // The object attached to `wnd`, or null.
    static CWnd* FromHandlePermanent(HWND wnd) noexcept;
    // Frees the temporary objects FromHandle made on this thread.
    static void DeleteTempMap() noexcept;

    [[nodiscard]] bool Attach(HWND wnd) noexcept;
    HWND Detach() noexcept;
    // Routes the window's messages through this object until it is destroyed or unsubclassed.
    [[nodiscard]] bool SubclassWindow(HWND wnd) noexcept;
    [[nodiscard]] bool SubclassDlgItem(UINT id, CWnd* parent) noexcept;
    HWND UnsubclassWindow() noexcept;

    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const noexcept {
        return ::SendMessageW(m_hWnd, msg, wp, lp);
    }
    [[nodiscard]] bool PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const noexcept {
        return ::PostMessageW(m_hWnd, msg, wp, lp) != FALSE;
    }
    bool IsWindow() const noexcept { return m_hWnd && ::IsWindow(m_hWnd); }
    CWnd* GetDlgItem(int id) const;
    CWnd* GetParent() const;
    DWORD GetStyle() const noexcept { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    void SetWindowText(const wchar_t* text) noexcept { ::SetWindowTextW(m_hWnd, text); }
    std::wstring GetWindowText() const;
    void SetDlgItemText(int id, const wchar_t* text) noexcept { ::SetDlgItemTextW(m_hWnd, id, text); }
    void GetClientRect(LPRECT rect) const noexcept { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(LPRECT rect) const noexcept { ::GetWindowRect(m_hWnd, rect); }
    void ScreenToClient(LPPOINT pt) const noexcept { ::ScreenToClient(m_hWnd, pt); }
    void ClientToScreen(LPPOINT pt) const noexcept { ::ClientToScreen(m_hWnd, pt); }
    void MoveWindow(int x, int y, int cx, int cy, bool repaint = true) noexcept {
        ::MoveWindow(m_hWnd, x, y, cx, cy, repaint);
    }
    void Invalidate(bool erase = true) noexcept { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(LPCRECT rect, bool erase = true) noexcept { ::InvalidateRect(m_hWnd, rect, erase); }
    void UpdateWindow() noexcept { ::UpdateWindow(m_hWnd); }
    [[nodiscard]] bool DestroyWindow() noexcept;
    // Makes the window and routes its messages through this object from then on (the
    // creation messages themselves go to the class's procedure). False when either fails.
    [[nodiscard]] bool CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                                CWnd* parent, UINT id) noexcept;

protected:
    // Dispatches one message: the class's handlers, else the original window procedure.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // The message map: answers true when a handler took the message and set `result`.
    // WM_NOTIFY is first reflected to the child that sent it, then given to OnNotify.
    virtual bool OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    virtual bool OnCommand(WPARAM wp, LPARAM lp);
    virtual bool OnNotify(WPARAM wp, LPARAM lp, LRESULT* result);
    // A notification the parent received from this control, offered back to the control.
    virtual bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // The current message, given to the original window procedure.
    LRESULT Default();
    // The window is gone and this object is detached; last chance to clean up.
    virtual void PostNcDestroy() {}

    WNDPROC m_pfnSuper = nullptr;

private:
    MSG m_currentMsg{};  // the message being dispatched to this window, for Default()

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM) noexcept;
};

LRESULT CALLBACK AfxWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
