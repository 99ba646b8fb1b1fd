// The dialog's size grip: the theme's gripper size, its corner through resizes, hit-testing, and
// its hand-drawn dots when no theme is on.
#include <gtest/gtest.h>
#include <windows.h>
#include "ChildProcess.h"
#include "DialogSession.h"
#include "module/resource.h"

using namespace lineage_test;

namespace {

// A remembered size would lay the dialog out once more during its initialisation.
HWND OpenDialog(DialogSession& session) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER,
                     L"Software\\Brightfold\\Applications\\Ledgerix Enterprise\\Window State\\BranchDetails");
    return session.WaitForDialog();
}

void ExpectInCorner(HWND dialog, int width, int height) {
    RECT client{};
    ::GetClientRect(dialog, &client);
    const RECT grip = ChildRect(::GetDlgItem(dialog, IDC_SIZE_GRIP));
    const RECT corner{client.right - width, client.bottom - height, client.right, client.bottom};
    EXPECT_TRUE(::EqualRect(&grip, &corner)) << grip.left << "," << grip.top << "," << grip.right << "," << grip.bottom;
}

TEST(DialogSizeGrip, TakesTheThemesGripperSizeAndKeepsToTheCorner) {
    DialogSession session({});
    HWND dialog = OpenDialog(session);
    ASSERT_TRUE(dialog);
    HWND grip = session.Item(IDC_SIZE_GRIP);
    const auto style = DWORD(::GetWindowLongPtrW(grip, GWL_STYLE));
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS), DWORD{WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS});
    // The Light theme's gripper is 16 x 16 and the grip one pixel wider.
    ExpectInCorner(dialog, 17, 16);
    for (const SIZE step : {SIZE{150, 90}, SIZE{-100, 0}, SIZE{0, -60}, SIZE{-20, 35}}) {
        const RECT window = WindowRect(dialog);
        ::SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + step.cx,
                       window.bottom - window.top + step.cy, SWP_NOMOVE | SWP_NOZORDER);
        session.Sync();
        SCOPED_TRACE(testing::Message() << "resized by " << step.cx << "," << step.cy);
        ExpectInCorner(dialog, 17, 16);
    }
    const RECT r = WindowRect(grip);
    for (const POINT p : {POINT{r.left, r.top}, POINT{r.right - 1, r.top}, POINT{r.left, r.bottom - 1},
                          POINT{r.right - 1, r.bottom - 1}, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}})
        EXPECT_EQ(::SendMessageW(grip, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTBOTTOMRIGHT);
}

TEST(DialogSizeGrip, WithThemesOffDrawsDotsInTheShadowColours) {
    // Both are read when a process starts. SetSysColors would do for the colour, but Wine keeps
    // it for every later process of the prefix.
    const UserSetting themesOff =
        UserSetting::Text(L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", L"ThemeActive", L"0");
    const UserSetting blueGrey = UserSetting::Text(L"Control Panel\\Colors", L"ButtonShadow", L"172 168 153");
    EXPECT_TRUE(RunTestInChild("DialogSizeGrip.DISABLED_DotsInTheSystemShadow", {themesOff}));
    EXPECT_TRUE(RunTestInChild("DialogSizeGrip.DISABLED_DotsInALighterBlueGrey", {themesOff, blueGrey}));
}

uint32_t Rgb(COLORREF colour) { return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour); }

// Six dots in a triangle at the bottom right, each a 2 x 2 shadow square with a highlight edge
// below and to its right; checked on two paints.
void ExpectDotsOnEveryPaint(uint32_t shadow) {
    ASSERT_TRUE(IsTestChild());
    DialogSession session({});
    HWND dialog = OpenDialog(session);
    ASSERT_TRUE(dialog);
    ExpectInCorner(dialog, 14, 14);
    const uint32_t highlight = Rgb(::GetSysColor(COLOR_BTNHIGHLIGHT));
    for (int paint = 0; paint < 2; ++paint) {
        ASSERT_TRUE(session.WaitForPaint(session.Item(IDC_SIZE_GRIP)));
        const Capture grip = CaptureWindow(session.Item(IDC_SIZE_GRIP));
        for (const POINT dot : {POINT{5, 13}, POINT{5, 9}, POINT{9, 9}, POINT{5, 5}, POINT{9, 5}, POINT{13, 5}}) {
            const int x = grip.width - dot.x, y = grip.height - dot.y;
            SCOPED_TRACE(testing::Message() << "dot at " << x << "," << y);
            for (const POINT s : {POINT{0, 0}, POINT{1, 0}, POINT{0, 1}, POINT{1, 1}})
                EXPECT_EQ(grip.At(x + s.x, y + s.y), shadow);
            for (const POINT h : {POINT{1, 2}, POINT{2, 1}, POINT{2, 2}})
                EXPECT_EQ(grip.At(x + h.x, y + h.y), highlight);
            EXPECT_NE(grip.At(x + 2, y), shadow);
        }
    }
}

TEST(DialogSizeGrip, DISABLED_DotsInTheSystemShadow) { ExpectDotsOnEveryPaint(Rgb(::GetSysColor(COLOR_BTNSHADOW))); }

TEST(DialogSizeGrip, DISABLED_DotsInALighterBlueGrey) {
    ASSERT_EQ(::GetSysColor(COLOR_BTNSHADOW), COLORREF{0x99A8AC});
    ExpectDotsOnEveryPaint(0xB8B5A1);
}

} // namespace
