#include "toolkit/SizeGrip.h"
#include <uxtheme.h>
#include "framework/CPaintDC.h"

namespace {

using OpenThemeDataFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
using CloseThemeDataFn = HRESULT(WINAPI*)(HTHEME);
using GetThemePartSizeFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCRECT, THEMESIZE, SIZE*);
using DrawThemeBackgroundFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCRECT, LPCRECT);

constexpr wchar_t kThemeLibrary[] = L"UxTheme.dll";
constexpr wchar_t kStatusClass[] = L"STATUS";
constexpr int kGripperPart = 3;  // the status bar's gripper
constexpr int kAnyState = 0;
// The dots of the blue-grey colour scheme take their own, lighter shadow.
constexpr COLORREF kBlueGreyShadow = 0x99A8AC;
constexpr COLORREF kLighterDotShadow = 0xA1B5B8;

template <class Fn>
Fn ThemeFunction(HMODULE library, const char* name) noexcept {
    return library ? reinterpret_cast<Fn>(::GetProcAddress(library, name)) : nullptr;
}

// The "STATUS" theme data of a window, closed whatever path the caller takes; empty when the
// library lacks the functions or no visual style is on.
class StatusTheme {
public:
    StatusTheme(HMODULE library, HWND wnd) noexcept
        : m_close(ThemeFunction<CloseThemeDataFn>(library, "CloseThemeData")) {
        auto open = ThemeFunction<OpenThemeDataFn>(library, "OpenThemeData");
        if (open && m_close)
            m_theme = open(wnd, kStatusClass);
    }
    StatusTheme(const StatusTheme&) = delete;
    StatusTheme& operator=(const StatusTheme&) = delete;
    ~StatusTheme() {
        if (m_theme)
            m_close(m_theme);
    }
    HTHEME get() const noexcept { return m_theme; }
    explicit operator bool() const noexcept { return m_theme != nullptr; }

private:
    CloseThemeDataFn m_close;
    HTHEME m_theme = nullptr;
};

} // namespace

SizeGrip::~SizeGrip() = default;

bool SizeGrip::InitTheme() noexcept {
    if (!themeLibrary) {
        themeLibrary.reset(::LoadLibraryW(kThemeLibrary));
        if (!themeLibrary)
            return false;
    }
    HMODULE library = themeLibrary.get();
    auto getPartSize = ThemeFunction<GetThemePartSizeFn>(library, "GetThemePartSize");
    if (!ThemeFunction<OpenThemeDataFn>(library, "OpenThemeData") ||
        !ThemeFunction<CloseThemeDataFn>(library, "CloseThemeData") || !getPartSize) {
        themeLibrary.reset();
        return false;
    }

    SIZE part{};
    {
        StatusTheme theme(library, m_hWnd);
        if (!theme)
            return true;
        ScopedWindowDC dc(m_hWnd);
        if (!dc)
            return true;
        if (FAILED(getPartSize(theme.get(), dc.get(), kGripperPart, kAnyState, nullptr, TS_TRUE, &part)))
            return true;
    }
    partWidth = part.cx + 1;
    partHeight = part.cy;
    GrowToPart();
    return true;
}

void SizeGrip::GrowToPart() noexcept {
    RECT rect{};
    GetWindowRect(&rect);
    bool grown = false;
    if (rect.right - rect.left < partWidth) {
        rect.right = rect.left + partWidth;
        grown = true;
    }
    if (rect.bottom - rect.top < partHeight) {
        rect.bottom = rect.top + partHeight;
        grown = true;
    }
    if (!grown)
        return;

    HWND parent = ::GetParent(m_hWnd);
    ::ScreenToClient(parent, reinterpret_cast<POINT*>(&rect.left));
    ::ScreenToClient(parent, reinterpret_cast<POINT*>(&rect.right));
    MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, false);
    // The parent keeps the grip in its corner by the grip's size: let it lay itself out again.
    RECT client{};
    ::GetClientRect(parent, &client);
    ::SendMessageW(parent, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    ::InvalidateRect(parent, &rect, TRUE);
    ::UpdateWindow(parent);
}

bool SizeGrip::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        *result = 0;
        return true;
    case WM_NCHITTEST:
        *result = OnNcHitTest();
        return true;
    default:
        return CStatic::OnWndMsg(msg, wp, lp, result);
    }
}

void SizeGrip::OnPaint() noexcept {
    CPaintDC dc(this);
    RECT client{};
    GetClientRect(&client);
    if (classic)
        DrawLines(dc, client);
    else if (!DrawThemed(dc, client))
        DrawDots(dc, client);
}

bool SizeGrip::DrawThemed(HDC dc, const RECT& client) const noexcept {
    // Opened for each paint: a visual style switched on or off shows at the next one.
    auto draw = ThemeFunction<DrawThemeBackgroundFn>(themeLibrary.get(), "DrawThemeBackground");
    if (!draw)
        return false;
    StatusTheme theme(themeLibrary.get(), m_hWnd);
    if (!theme)
        return false;
    const RECT part{client.right - partWidth, client.bottom - partHeight, client.right, client.bottom};
    return SUCCEEDED(draw(theme.get(), dc, kGripperPart, kAnyState, &part, &client));
}

void SizeGrip::DrawLines(HDC dc, const RECT& client) const noexcept {
    ScopedHPEN highlight(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT)));
    ScopedHPEN shadow(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW)));
    ScopedSelectObject previous(dc, highlight.get());
    // Three groups of a highlight line and two shadow lines, one line's gap between groups.
    for (int k = 1; k < 12; ++k) {
        if (k % 4 == 0)
            continue;
        ::SelectObject(dc, k % 4 == 1 ? highlight.get() : shadow.get());
        ::MoveToEx(dc, client.left + k, client.bottom - 2, nullptr);
        ::LineTo(dc, client.right - 1, client.top + k - 1);
    }
}

void SizeGrip::DrawDots(HDC dc, const RECT& client) const noexcept {
    COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    if (shadow == kBlueGreyShadow)
        shadow = kLighterDotShadow;
    const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    // A triangle of six dots with its right angle at the bottom right; each dot is a shadow
    // square with a highlight edge below and to the right.
    const POINT fromCorner[] = {{5, 13}, {5, 9}, {9, 9}, {5, 5}, {9, 5}, {13, 5}};
    for (const POINT& offset : fromCorner) {
        const int x = client.right - offset.x;
        const int y = client.bottom - offset.y;
        ::SetPixelV(dc, x, y, shadow);
        ::SetPixelV(dc, x, y + 1, shadow);
        ::SetPixelV(dc, x + 1, y, shadow);
        ::SetPixelV(dc, x + 1, y + 1, shadow);
        ::SetPixelV(dc, x + 1, y + 2, highlight);
        ::SetPixelV(dc, x + 2, y + 1, highlight);
        ::SetPixelV(dc, x + 2, y + 2, highlight);
    }
}
