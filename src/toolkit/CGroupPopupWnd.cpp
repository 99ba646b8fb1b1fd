#include "toolkit/CGroupPopupWnd.h"
#include <windowsx.h>
#include "framework/AfxRegisterWndClass.h"
#include "framework/CPaintDC.h"

namespace {

// One hook for the thread, whichever popup installed it.
HHOOK g_hook = nullptr;

// While a popup holds the capture, the wheel and the keys go to it rather than to the focus.
LRESULT CALLBACK RedirectInput(int code, WPARAM wp, LPARAM lp) noexcept {
    auto* msg = reinterpret_cast<MSG*>(lp);
    if (code >= 0 && msg && (msg->message == WM_MOUSEWHEEL || msg->message == WM_KEYDOWN)) {
        HWND target = ::GetCapture();
        if (!target) {
            POINT cursor{};
            if (::GetCursorPos(&cursor))
                target = ::WindowFromPoint(cursor);
        }
        if (target && ::IsWindow(target))
            msg->hwnd = target;
    }
    return ::CallNextHookEx(g_hook, code, wp, lp);
}

void RemoveHook() noexcept {
    if (g_hook) {
        ::UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
    }
}

} // namespace

CGroupPopupWnd::~CGroupPopupWnd() { RemoveHook(); }

BOOL CGroupPopupWnd::Create(CWnd* parent, const RECT& rect, RefPtr<BFC::Group> owner) {
    if (m_hWnd)
        return TRUE;
    m_owner = owner;
    m_group = new BFC::Group(*owner, BFC::Group::CopyTag{});
    m_group->SetCollapsed(false);
    m_parent = parent ? parent->GetSafeHwnd() : nullptr;

    const std::wstring cls = AfxRegisterWndClass(CS_DROPSHADOW | CS_HREDRAW | CS_VREDRAW, nullptr,
                                                 static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)), nullptr);
    const bool created =
        !cls.empty() && CreateEx(0, cls.c_str(), L"PopUpGroup", WS_POPUP | WS_BORDER, rect, parent, 0);
    if (created) {
        ::SetCapture(m_hWnd);
        ::ShowWindow(m_hWnd, SW_SHOWNA);
    }
    if (!g_hook)
        g_hook = ::SetWindowsHookExW(WH_GETMESSAGE, RedirectInput, nullptr, ::GetCurrentThreadId());
    return created ? TRUE : FALSE;
}

void CGroupPopupWnd::Close() {
    RemoveHook();
    if (!m_hWnd || !m_group)
        return;
    if (m_owner)
        m_owner->OnMouseMove(m_parent, -1, -1);
    m_retired = std::move(m_group);
    if (m_parent)
        ::PostMessageW(m_parent, kClosedMessage, 0, 0);
    ::ShowWindow(m_hWnd, SW_HIDE);
    static_cast<void>(PostMessage(WM_CLOSE));
}

bool CGroupPopupWnd::InClient(int x, int y) const {
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const POINT pt{x, y};
    return ::PtInRect(&client, pt) != FALSE;
}

LRESULT CGroupPopupWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    switch (msg) {
    case WM_PAINT:
        if (m_group) {
            CPaintDC dc(this);
            Gdiplus::Graphics g(dc.GetSafeHdc());
            m_group->Draw(g, 0, 0, BFC::StateNormal, 1000000, 0);
        }
        break;
    case WM_MOUSEMOVE:
        if (m_group && InClient(x, y))
            m_group->OnMouseMove(m_hWnd, x, y);
        break;
    case WM_LBUTTONDOWN:
        if (m_group && InClient(x, y))
            m_group->OnLButtonDown(m_hWnd, x, y);
        break;
    case WM_LBUTTONUP:
        if (m_group) {
            if (InClient(x, y)) {
                // Held: the release of the capture inside may close this popup.
                const RefPtr<BFC::Group> group = m_group;
                group->OnLButtonUp(m_hWnd, x, y);
            } else {
                ::ReleaseCapture();
                Close();
            }
        }
        break;
    case WM_COMMAND:
        // A button's command reaches the toolbar's owner.
        if (m_parent) {
            ::SendMessageW(m_parent, msg, wp, lp);
            return 0;
        }
        break;
    case WM_KEYDOWN:
        if (wp == VK_ESCAPE)
            Close();
        break;
    case WM_CAPTURECHANGED:
        if (!m_keepOpen)
            Close();
        break;
    case kKeepOpenMessage:
        m_keepOpen = true;
        break;
    case kRecaptureMessage:
        m_keepOpen = false;
        ::SetCapture(m_hWnd);
        break;
    default:
        break;
    }
    return DefWindowProc(msg, wp, lp);
}

void CGroupPopupWnd::PostNcDestroy() {
    if (m_owner && m_owner->m_popup == this)
        m_owner->m_popup = nullptr;
    delete this;
}
