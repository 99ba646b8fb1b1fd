// The "CSV Options" group collapsed in a small window, its popup opened by a click on the header
// as the window receives it: what the demo pictures of the collapsed face.
#include <windows.h>
#include "icons/WorkflowIcons.h"
#include "toolkit/Button.h"
#include "toolkit/GroupToolBar.h"

namespace {

RefPtr<BFC::GroupToolBar> g_toolbar;

LRESULT CALLBACK DemoProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(wnd, &ps);
        if (g_toolbar) {
            Gdiplus::Graphics g(dc);
            g_toolbar->Draw(g, 0, 0, BFC::StateNormal, 1000000, 0);
        }
        ::EndPaint(wnd, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        if (g_toolbar)
            g_toolbar->ForEachGroup([&](BFC::Group& group) {
                msg == WM_LBUTTONDOWN ? group.OnLButtonDown(wnd, x, y) : group.OnLButtonUp(wnd, x, y);
            });
        return 0;
    case WM_DESTROY:
        g_toolbar = nullptr;
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(wnd, msg, wp, lp);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW cls{};
    cls.lpfnWndProc = DemoProc;
    cls.hInstance = instance;
    cls.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    cls.lpszClassName = L"PopupDemo";
    ::RegisterClassW(&cls);
    HWND wnd = ::CreateWindowExW(0, L"PopupDemo", L"CSV Options collapsed", WS_OVERLAPPEDWINDOW, 40, 40, 260, 240,
                                 nullptr, nullptr, instance, nullptr);

    // A strip too narrow for the buttons: the group shows its header.
    const RECT strip{10, 10, 50, 40};
    RefPtr<BFC::Group> group(new BFC::Group(RECT{0, strip.top, 180, strip.bottom},
                                            RECT{0, strip.top, 170, strip.bottom}, L"CSV Options"));
    const HICON open = LoadWfPngIcon(L"PNG_ORVX_OPENFILE_LIST_ALL", 3), save = LoadWfPngIcon(L"PNG_SAVE", 3);
    for (auto [icon, command] : {std::pair{open, 4007}, {save, 4008}})
        group->AddItem(new BFC::Button(new BFC::Icon(icon, 32768), new BFC::Callback(command), L""));
    group->UpdateSize();
    g_toolbar = new BFC::GroupToolBar;
    g_toolbar->left = strip.left;
    g_toolbar->top = strip.top;
    g_toolbar->width = strip.right - strip.left;
    g_toolbar->height = strip.bottom - strip.top;
    g_toolbar->AddGroup(1, group);
    g_toolbar->Layout(g_toolbar->width);
    ::ShowWindow(wnd, SW_SHOWNORMAL);
    ::UpdateWindow(wnd);

    RECT header{};
    group->GetRect(header);
    const LPARAM at = MAKELPARAM((header.left + header.right) / 2, (header.top + header.bottom) / 2);
    ::PostMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(wnd, WM_LBUTTONUP, 0, at);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    group = nullptr;
    ::DestroyIcon(open);
    ::DestroyIcon(save);
    return 0;
}
