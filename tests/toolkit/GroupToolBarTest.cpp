// Groups and the group toolbar: the layout by keys and modes, the collapsed group's popup and
// what a group draws in each state, at two DPIs.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "DpiProcess.h"
#include "ElementTestSupport.h"
#include "toolkit/Button.h"
#include "toolkit/CGroupPopupWnd.h"
#include "toolkit/GroupToolBar.h"

using namespace element_test;
using namespace BFC;

namespace {

constexpr uint32_t kRed = 0xFFC82828;
std::vector<WPARAM> g_commands;  // WM_COMMAND that reached the host window

LRESULT CALLBACK HostProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND)
        g_commands.push_back(wp);
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

// The window the groups are drawn in, on the test's own thread.
struct HostWindow {
    HWND wnd;
    HostWindow() {
        WNDCLASSW cls{};
        cls.lpfnWndProc = HostProc;
        cls.hInstance = ::GetModuleHandleW(nullptr);
        cls.lpszClassName = L"GroupHost";
        ::RegisterClassW(&cls);
        wnd = ::CreateWindowExW(0, L"GroupHost", L"", WS_POPUP | WS_VISIBLE, 50, 60, 400, 200, nullptr, nullptr,
                                cls.hInstance, nullptr);
        g_commands.clear();
    }
    ~HostWindow() { ::DestroyWindow(wnd); }
};

CRect RectOf(const UIObject& e) { RECT r{}; e.GetRect(r); return r; }

RefPtr<Group> MakeGroup(int buttons, const wchar_t* caption = L"CSV Options", int itemsHeight = 0,
                        std::vector<RefPtr<Button>>* made = nullptr) {
    RefPtr<Group> group(new Group(RECT{0, 0, 180, 30}, RECT{0, 0, 170, itemsHeight}, caption));
    for (int i = 0; i < buttons; ++i) {
        const ScopedHICON icon = MakeIcon(16, [](int, int) { return kRed; });
        RefPtr<Button> button(new Button(new Icon(icon.get(), 16), new Callback(4007 + i), L""));
        button->tooltipText = L"tip " + std::to_wstring(i);
        group->AddItem(button);
        if (made)
            made->push_back(button);
    }
    group->UpdateSize();
    return group;
}

// Width of the face asked for; the group keeps the face it had.
int FaceWidth(Group& g, bool collapsed) {
    const bool was = g.IsCollapsed();
    g.SetCollapsed(collapsed);
    const int width = RectOf(g).Width();
    g.SetCollapsed(was);
    return width;
}

// Handles this thread's messages until `done`; false when a wait of 5 s brings nothing.
template <class F>
bool PumpUntil(F done) {
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done())
            return true;
        if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5000, QS_ALLINPUT) == WAIT_TIMEOUT)
            return false;
    }
}

TEST(GroupLayout, ItemsSitInARowAndAnEmptyGroupIsItsMargins) {
    std::vector<RefPtr<Button>> buttons;
    const RefPtr<Group> two = MakeGroup(2, L"CSV Options", 0, &buttons);
    const CRect first = RectOf(*buttons[0]), second = RectOf(*buttons[1]);
    EXPECT_EQ(first.TopLeft(), CPoint(2, 2));
    EXPECT_EQ(second.TopLeft(), CPoint(2 + first.Width() + 3, 2));
    EXPECT_EQ(RectOf(*two).Size(), CSize(2 * first.Width() + 3 + 3 + 4, first.Height() + 4));
    EXPECT_EQ(RectOf(*MakeGroup(0)), CRect(0, 0, 4, 4));
    EXPECT_EQ(RectOf(*MakeGroup(0, L"x", 30)), CRect(0, 0, 4, 30)) << "the owner's height stays";
}

TEST(GroupLayout, ExpandsWhenItFitsToThePixel) {
    const RefPtr<Group> group = MakeGroup(2);
    GroupToolBar toolbar;
    toolbar.AddGroup(1, group);
    const int expanded = FaceWidth(*group, false);
    toolbar.Layout(expanded);
    EXPECT_FALSE(group->IsCollapsed());
    toolbar.Layout(expanded - 1);
    EXPECT_TRUE(group->IsCollapsed());
}

TEST(GroupLayout, LowerKeysExpandFirstWhileTheOrderAddedDraws) {
    const RefPtr<Group> one = MakeGroup(2), two = MakeGroup(4);
    GroupToolBar toolbar;
    toolbar.AddGroup(2, two);
    toolbar.AddGroup(1, one);
    toolbar.AddGroup(1, two);  // a key already there keeps its group
    toolbar.Layout(FaceWidth(*one, false) + FaceWidth(*two, true));
    EXPECT_FALSE(one->IsCollapsed());
    EXPECT_TRUE(two->IsCollapsed());
    DrawOnWhite(400, 60, [&](Gdiplus::Graphics& g) { toolbar.Draw(g, 0, 0, 0, 1000000, 0); });
    EXPECT_EQ(RectOf(*two).left, 0);
    EXPECT_EQ(RectOf(*one).left, RectOf(*two).right);
    EXPECT_TRUE(toolbar.drawn);
}

TEST(GroupLayout, AGroupThatDoesNotFitLeavesEveryLaterKeyCollapsed) {
    const RefPtr<Group> one = MakeGroup(2), wide = MakeGroup(6), three = MakeGroup(2, L"C");
    GroupToolBar toolbar;
    toolbar.AddGroup(1, one);
    toolbar.AddGroup(2, wide);
    toolbar.AddGroup(3, three);
    toolbar.Layout(FaceWidth(*one, false) + FaceWidth(*wide, true) + FaceWidth(*three, false));
    EXPECT_EQ(std::vector<bool>({one->IsCollapsed(), wide->IsCollapsed(), three->IsCollapsed()}),
              std::vector<bool>({false, true, true}));
}

TEST(GroupLayout, ModesThreeAndFourKeepTheirFaceAndThreeHasNoTips) {
    const RefPtr<Group> whole = MakeGroup(1), alone = MakeGroup(1), plain = MakeGroup(2);
    whole->SetLayoutMode(3);
    alone->SetLayoutMode(4);
    whole->SetCollapsed(false);
    alone->SetCollapsed(true);
    GroupToolBar toolbar;
    toolbar.AddGroup(1, whole);
    toolbar.AddGroup(2, alone);
    toolbar.AddGroup(3, plain);
    for (int width : {0, 100000}) {
        toolbar.Layout(width);
        EXPECT_FALSE(whole->IsCollapsed()) << width;
        EXPECT_TRUE(alone->IsCollapsed()) << width;
    }
    Lst<Tooltip> tips;
    toolbar.CollectTooltips(tips);
    ASSERT_EQ(tips.GetCount(), 2) << "only the plain group's, the collapsed one has none";
    EXPECT_EQ(tips.Head()->value.text, L"tip 0");
    EXPECT_EQ(tips.Tail()->value.text, L"tip 1");
}

// How a test ends an open popup.
enum class Ending { ReleaseOutside, Escape, CaptureLost, HeaderClick, Command };

class GroupPopup : public ::testing::TestWithParam<Ending> {};

TEST_P(GroupPopup, OpensBelowTheHeaderHoldsTheCaptureAndCloses) {
    HostWindow host;
    const RefPtr<Group> group = MakeGroup(2);
    RefPtr<GroupToolBar> toolbar(new GroupToolBar);
    toolbar->left = 10;
    toolbar->top = 20;
    toolbar->AddGroup(1, group);
    toolbar->Layout(0);
    DrawOnWhite(300, 100, [&](Gdiplus::Graphics& g) { toolbar->Draw(g, 0, 0, 0, 1000000, 0); });
    const CRect header = RectOf(*group);
    ASSERT_EQ(header.TopLeft(), CPoint(10, 20));
    group->OnLButtonDown(host.wnd, 5, 5);  // pressed elsewhere: the release decides
    group->OnLButtonUp(host.wnd, header.left, header.bottom - 1);
    ASSERT_TRUE(group->Popup());
    const HWND popup = group->Popup()->GetSafeHwnd();
    EXPECT_EQ(::GetCapture(), popup);
    EXPECT_TRUE(::IsWindowVisible(popup));
    EXPECT_TRUE(::GetClassLongW(popup, GCL_STYLE) & CS_DROPSHADOW);
    POINT corner = header.TopLeft();
    ::ClientToScreen(host.wnd, &corner);
    const int expanded = FaceWidth(*group, false);
    RECT placed{};
    ::GetWindowRect(popup, &placed);
    EXPECT_EQ(CRect(placed),
              CRect(corner.x, corner.y + header.Height(), corner.x + expanded,
                    corner.y + header.Height() + RectOf(*MakeGroup(2)).Height() + 1));

    switch (GetParam()) {
    case Ending::ReleaseOutside:
        ::PostMessageW(popup, WM_LBUTTONUP, 0, MAKELPARAM(expanded + 5, 3));
        break;
    case Ending::Escape:  // to the focus; the popup's hook hands it to the capture
        ::PostMessageW(host.wnd, WM_KEYDOWN, VK_ESCAPE, 0);
        break;
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
    ASSERT_TRUE(PumpUntil([&] { return !group->Popup(); }));
    EXPECT_FALSE(::IsWindow(popup));
    EXPECT_EQ(group->HeaderState(), StateNormal);
    EXPECT_EQ(g_commands, GetParam() == Ending::Command ? std::vector<WPARAM>{4007} : std::vector<WPARAM>{});
    EXPECT_FALSE(::FindWindowW(nullptr, L"PopUpGroup")) << "no second popup";
}

INSTANTIATE_TEST_SUITE_P(Endings, GroupPopup,
                         ::testing::Values(Ending::ReleaseOutside, Ending::Escape, Ending::CaptureLost,
                                           Ending::HeaderClick, Ending::Command));

TEST(GroupPixels, FrameAndIconFollowTheState) {
    for (int dpi : {96, 144})
        EXPECT_TRUE(lineage_test::RunTestAtDpi(dpi, "GroupPixels.DISABLED_AtThisDpi")) << dpi;
}

TEST(GroupPixels, DISABLED_AtThisDpi) {
    ASSERT_NE(lineage_test::ChildDpi(), 0);
    HostWindow host;
    std::vector<RefPtr<Button>> buttons;
    const RefPtr<Group> group = MakeGroup(2, L"CSV Options", 0, &buttons);
    GroupToolBar toolbar;
    toolbar.left = 20;
    toolbar.top = 10;
    toolbar.width = FaceWidth(*group, false);
    toolbar.AddGroup(1, group);
    toolbar.Layout(toolbar.width);
    const int W = 200, H = 100;
    const auto draw = [&] { return DrawOnWhite(W, H, [&](Gdiplus::Graphics& g) { toolbar.Draw(g, 0, 0, 0, W, 0); }); };
    draw();
    const CRect b = RectOf(*buttons[0]);  // its size at this DPI
    const int X = 20 + 2, Y = 10 + 2, iconTop = Y + b.Height() / 2 - 8;
    const auto red = [&](const Pixels& p, int x, int y) { return p[y * W + x] == (kRed & kWhite); };
    // Normal, hot, pressed: frame corner pixel and the icon's top-left and bottom-right pixels.
    const Pixels normal = draw();
    group->OnMouseMove(host.wnd, X + 3, Y + 3);
    const Pixels hot = draw();
    group->OnLButtonDown(host.wnd, X + 3, Y + 3);
    const Pixels pressed = draw();
    EXPECT_EQ(normal[Y * W + X + 1], kWhite);
    EXPECT_NE(hot[Y * W + X + 1], kWhite);
    EXPECT_NE(pressed[Y * W + X + 1], hot[Y * W + X + 1]);
    EXPECT_TRUE(red(normal, X + 5, iconTop) && red(normal, X + 20, iconTop + 15));
    EXPECT_TRUE(red(hot, X + 5, iconTop) && red(hot, X + 20, iconTop + 15));
    EXPECT_TRUE(!red(pressed, X + 5, iconTop) && red(pressed, X + 21, iconTop + 16));
    for (const Pixels* p : {&normal, &hot, &pressed})
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (x < 20 || x >= 20 + toolbar.width || y < 10)
                    ASSERT_EQ((*p)[y * W + x], kWhite) << "outside the strip at " << x << "," << y;

    // Collapsed: the header lights up under the mouse, a frame one pixel in from its edge.
    toolbar.Layout(0);
    const Pixels header = draw();
    const CRect h = RectOf(*group);
    group->OnMouseMove(host.wnd, h.left + 2, h.top + 2);
    const Pixels headerHot = draw();
    EXPECT_EQ(header[(h.top + 1) * W + h.left + 2], kWhite);
    EXPECT_NE(headerHot[(h.top + 1) * W + h.left + 2], kWhite);
    EXPECT_EQ(headerHot[h.top * W + h.left + 2], kWhite) << "one pixel in";
}

} // namespace
