// Groups and the group toolbar: the layout by keys and modes, the collapsed group's popup, what a group draws.
#include <gtest/gtest.h>
#include "ElementTestSupport.h"
#include "toolkit/Button.h"
#include "toolkit/CGroupPopupWnd.h"
#include "toolkit/GroupToolBar.h"

using namespace element_test;
using namespace BFC;

namespace {

std::vector<WPARAM> g_commands;  // WM_COMMAND that reached the host window

struct HostWindow {
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_COMMAND)
            g_commands.push_back(wp);
        return ::DefWindowProcW(wnd, msg, wp, lp);
    }
    const WNDCLASSW cls{0, Proc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, L"Host"};
    HostWindow() { g_commands.clear(); }
    const ATOM atom = ::RegisterClassW(&cls);
    const HWND wnd = ::CreateWindowExW(0, L"Host", L"", WS_POPUP | WS_VISIBLE, 50, 60, 400, 200, 0, 0, 0, 0);
    ~HostWindow() { ::DestroyWindow(wnd); }
};

// A group of `buttons` red buttons with commands from 4007 and tips "tip 0", "tip 1"...
RefPtr<Group> MakeGroup(int buttons, int itemsHeight = 0, RefPtr<Callback> first = nullptr) {
    RefPtr<Group> group(new Group(RECT{0, 0, 180, 30}, RECT{0, 0, 170, itemsHeight}, L"CSV Options"));
    for (int i = 0; i < buttons; ++i) {
        const ScopedHICON icon = RedIcon();
        RefPtr<Button> button(new Button(new Icon(icon.get(), 16), i || !first ? new Callback(4007 + i) : first, L""));
        button->tooltipText = L"tip " + std::to_wstring(i);
        group->AddItem(button);
    }
    group->UpdateSize();
    return group;
}

// Width of the face asked for; the group keeps the face it had.
int FaceWidth(Group& group, bool collapsed) {
    const bool was = group.IsCollapsed();
    group.SetCollapsed(collapsed);
    const int width = RectOf(group).Width();
    group.SetCollapsed(was);
    return width;
}

// A toolbar at (left, top) with the groups by key, added in the order given.
struct ToolBar : GroupToolBar {
    ToolBar(std::initializer_list<std::pair<uint32_t, RefPtr<Group>>> groups, int x = 0, int y = 0) {
        left = x;
        top = y;
        for (const auto& [key, group] : groups)
            AddGroup(key, group);
    }
    Pixels Drawn(int width = 400, int height = 100) {
        return DrawOnWhite(width, height, [&](Gdiplus::Graphics& g) { Draw(g, 0, 0, 0, width, 0); });
    }
};

// Buttons sit 3 pixels apart inside a margin of 2; the first key that does not fit leaves every later one collapsed.
TEST(GroupLayout, LowerKeysExpandFirstWhenTheyFitToThePixelWhileTheOrderAddedDraws) {
    EXPECT_EQ(RectOf(*MakeGroup(2)), CRect(0, 0, 2 + 26 + 3 + 26 + 3 + 2, 2 + 24 + 2));
    EXPECT_EQ(RectOf(*MakeGroup(0)), CRect(0, 0, 4, 4));
    EXPECT_EQ(RectOf(*MakeGroup(0, 30)), CRect(0, 0, 4, 30)) << "the owner's height stays";
    const RefPtr<Group> one = MakeGroup(2), two = MakeGroup(4), three = MakeGroup(1);
    ToolBar toolbar({{2, two}, {1, one}, {1, two}, {3, three}});  // a key already there keeps its group
    const int fits = FaceWidth(*one, false) + FaceWidth(*two, true) + FaceWidth(*three, true);
    toolbar.Layout(fits - 1);
    EXPECT_TRUE(one->IsCollapsed()) << "one pixel short";
    toolbar.Layout(fits);
    EXPECT_TRUE(!one->IsCollapsed() && two->IsCollapsed() && three->IsCollapsed());
    toolbar.Drawn();
    EXPECT_TRUE(toolbar.drawn);
    EXPECT_EQ(RectOf(*two).left, 0);
    EXPECT_EQ(RectOf(*one).left, RectOf(*two).right);
    // Modes three and four keep their face, and three has no tips; nor has a disabled button.
    RefPtr<Callback> disabled(new Callback(4006));
    disabled->disabled = true;
    const RefPtr<Group> whole = MakeGroup(1), alone = MakeGroup(1), plain = MakeGroup(3, 0, disabled);
    whole->SetLayoutMode(3);
    alone->SetLayoutMode(4);
    alone->SetCollapsed(true);
    ToolBar modes({{1, whole}, {2, alone}, {3, plain}});
    for (int width : {0, 100000}) {
        modes.Layout(width);
        EXPECT_TRUE(!whole->IsCollapsed() && alone->IsCollapsed()) << width;
    }
    Lst<Tooltip> tips;
    modes.CollectTooltips(tips);
    ASSERT_EQ(tips.GetCount(), 2) << "only the plain group's enabled buttons, the collapsed one has none";
    EXPECT_EQ(tips.Head()->value.text + tips.Tail()->value.text, L"tip 1tip 2");
}

TEST(GroupPopup, OpensBelowTheHeaderHoldsTheCaptureAndCloses) {
    enum class Ending { ReleaseOutside, Escape, CaptureLost, HeaderClick, Command };
    for (Ending ending : {Ending::ReleaseOutside, Ending::Escape, Ending::CaptureLost, Ending::HeaderClick,
                          Ending::Command}) {
        SCOPED_TRACE(int(ending));
        HostWindow host;
        const RefPtr<Group> group = MakeGroup(2);
        ToolBar toolbar({{1, group}}, 10, 20);
        toolbar.Layout(0);
        toolbar.Drawn();
        const CRect header = RectOf(*group);
        ASSERT_EQ(header.TopLeft(), CPoint(10, 20));
        group->OnLButtonDown(host.wnd, 5, 5);  // pressed elsewhere: the release decides
        group->OnLButtonUp(host.wnd, header.left, header.bottom - 1);
        ASSERT_TRUE(group->Popup());
        const HWND popup = group->Popup()->GetSafeHwnd();
        EXPECT_TRUE(::GetCapture() == popup && ::IsWindowVisible(popup));
        EXPECT_TRUE(::GetClassLongW(popup, GCL_STYLE) & CS_DROPSHADOW);
        CRect placed, below(header.left, header.bottom, header.left + FaceWidth(*group, false),
                            header.bottom + RectOf(*MakeGroup(2)).Height() + 1);
        ::GetWindowRect(popup, &placed);
        ::MapWindowPoints(host.wnd, nullptr, reinterpret_cast<POINT*>(&below), 2);
        EXPECT_EQ(placed, below) << "below the header, as wide as the expanded group";
        switch (ending) {
        case Ending::ReleaseOutside: ::PostMessageW(popup, WM_LBUTTONUP, 0, MAKELPARAM(placed.Width() + 5, 3)); break;
        case Ending::Escape: ::PostMessageW(host.wnd, WM_KEYDOWN, VK_ESCAPE, 0); break;  // the hook hands it on
        case Ending::CaptureLost:
            ::SendMessageW(popup, CGroupPopupWnd::kKeepOpenMessage, 0, 0);
            ::SetCapture(host.wnd);
            EXPECT_TRUE(::IsWindowVisible(popup)) << "kept open";
            ::SendMessageW(popup, CGroupPopupWnd::kRecaptureMessage, 0, 0);
            EXPECT_EQ(::GetCapture(), popup);
            ::SetCapture(host.wnd);
            break;
        case Ending::HeaderClick:  // the capture brings it to the popup, above its client area
            ::PostMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, static_cast<WORD>(-5)));
            ::PostMessageW(popup, WM_LBUTTONUP, 0, MAKELPARAM(3, static_cast<WORD>(-5)));
            break;
        case Ending::Command:  // the first button stands at (2, 2) in the popup
            for (UINT msg : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})
                ::PostMessageW(popup, msg, 0, MAKELPARAM(6, 6));
            break;
        }
        for (MSG msg;
             group->Popup() && ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5000, QS_ALLINPUT) != WAIT_TIMEOUT;)
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageW(&msg);
        EXPECT_FALSE(group->Popup() || ::IsWindow(popup));
        EXPECT_EQ(group->HeaderState(), StateNormal);
        EXPECT_EQ(g_commands, ending == Ending::Command ? std::vector<WPARAM>{4007} : std::vector<WPARAM>{});
        EXPECT_FALSE(::FindWindowW(nullptr, L"PopUpGroup")) << "no second popup";
    }
}

// Each state's frame is outer edge, the line inside it, inner line and fill; pressed, the icon shifts.
TEST(GroupPixels, ButtonsAndHeaderLightUpUnderTheMouse) {
    constexpr uint32_t kRedDisabled = 0x7F5A5A5A;  // grey (200 + 40 + 40) / 3 = 93, lifted to 90
    const struct { int state; uint32_t outer, second, inner, fill, icon; int left; } cases[] = {
        {StateNormal, 0, 0, 0, 0, kRed, 5}, {StateHot, 0x326464A0, 0x646464A0, 0x96FFFFFF, 0x5AFFFFFF, kRed, 5},
        {StatePressed, 0x323C3C3C, 0x963C3C3C, 0x966464A0, 0x3CA0A0B4, kRed, 6},
        {StateDisabled, 0, 0, 0, 0, kRedDisabled, 5}};
    HostWindow host;
    const RefPtr<Callback> command(new Callback(4007));
    const RefPtr<Group> group = MakeGroup(1, 0, command);
    ToolBar toolbar({{1, group}}, 20, 10);
    toolbar.width = FaceWidth(*group, false);
    toolbar.Layout(toolbar.width);
    toolbar.Drawn();  // places the items
    constexpr int W = 400, X = 20 + 2, Y = 10 + 2;  // the button's top left
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        command->disabled = c.state == StateDisabled;
        group->OnMouseMove(host.wnd, c.state == StateNormal ? 0 : X + 3, Y + 3);
        if (c.state >= StatePressed)
            group->OnLButtonDown(host.wnd, X + 3, Y + 3);
        const Pixels p = toolbar.Drawn();
        const uint32_t edge = Blend(c.second, Blend(c.outer)), fill = Blend(c.fill), drawn = Blend(c.icon);
        const int l = c.left, t = l - 1;
        const struct { int x, y; uint32_t colour; } expected[] = {
            {0, 0, kWhite}, {1, 0, Blend(c.outer)}, {0, 12, edge}, {24, 12, edge}, {12, 22, edge},
            {1, 12, Blend(c.inner)}, {3, 3, fill}, {25, 12, kWhite}, {12, 23, kWhite}, {l, t, drawn},
            {l + 15, t + 15, drawn}, {l - 1, t, fill}, {l, t - 1, fill}};
        for (const auto& e : expected)
            EXPECT_EQ(p[(Y + e.y) * W + X + e.x], e.colour) << "at " << e.x << "," << e.y;
        for (int i = 0; i < W * 100; ++i)
            ASSERT_TRUE(p[i] == kWhite || (i % W >= 20 && i % W < 20 + toolbar.width && i >= 10 * W)) << i;
        group->OnLButtonUp(host.wnd, 0, 0);
    }
    toolbar.Layout(0);
    const Pixels header = toolbar.Drawn();
    const CRect h = RectOf(*group);
    group->OnMouseMove(host.wnd, h.left + 2, h.top + 2);
    const Pixels headerHot = toolbar.Drawn();
    EXPECT_EQ(header[(h.top + 1) * W + h.left + 2], kWhite);
    EXPECT_NE(headerHot[(h.top + 1) * W + h.left + 2], kWhite);
    EXPECT_EQ(headerHot[h.top * W + h.left + 2], kWhite) << "one pixel in";
}

} // namespace
