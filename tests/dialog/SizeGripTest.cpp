// The dialog's size grip: its size from the visual style, its place through resizes, its
// answer to hit-testing, and its hand-drawn dots when no theme is on.
#include <gtest/gtest.h>
#include <windows.h>
#include "ChildProcess.h"
#include "DialogSession.h"

using namespace lineage_test;

namespace {

constexpr int kGripId = 0xFFFF;
constexpr wchar_t kWindowStateKey[] =
    L"Software\\Brightfold\\Applications\\Ledgerix Enterprise\\Window State\\BranchDetails";

class DialogSizeGrip : public ::testing::Test {
protected:
    // A remembered size would lay the dialog out once more during its initialisation.
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kWindowStateKey); }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kWindowStateKey); }
};

void ExpectInCorner(HWND dialog, int width, int height) {
    RECT client{};
    ::GetClientRect(dialog, &client);
    const RECT grip = ChildRect(::GetDlgItem(dialog, kGripId));
    EXPECT_EQ(grip.left, client.right - width);
    EXPECT_EQ(grip.top, client.bottom - height);
    EXPECT_EQ(grip.right, client.right);
    EXPECT_EQ(grip.bottom, client.bottom);
}

uint32_t Rgb(COLORREF colour) { return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour); }

// Six dots in a triangle at the bottom right, each a 2 x 2 shadow square with a highlight edge
// below and to its right.
void ExpectDots(const Capture& grip, uint32_t shadow, uint32_t highlight) {
    const POINT fromCorner[] = {{5, 13}, {5, 9}, {9, 9}, {5, 5}, {9, 5}, {13, 5}};
    for (const POINT& dot : fromCorner) {
        const int x = grip.width - dot.x;
        const int y = grip.height - dot.y;
        SCOPED_TRACE(testing::Message() << "dot at " << x << "," << y);
        for (const POINT& s : {POINT{0, 0}, POINT{1, 0}, POINT{0, 1}, POINT{1, 1}})
            EXPECT_EQ(grip.At(x + s.x, y + s.y), shadow);
        for (const POINT& h : {POINT{1, 2}, POINT{2, 1}, POINT{2, 2}})
            EXPECT_EQ(grip.At(x + h.x, y + h.y), highlight);
        EXPECT_NE(grip.At(x + 2, y), shadow);
    }
}

TEST_F(DialogSizeGrip, TakesTheThemesGripperSizeAndKeepsToTheCorner) {
    DialogSession session({});
    HWND dialog = session.WaitForDialog();
    ASSERT_TRUE(dialog);
    HWND grip = session.Item(kGripId);
    ASSERT_TRUE(grip);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(grip, GWL_STYLE));
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS), DWORD{WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS});
    // The Light theme's gripper is 16 x 16 and the grip one pixel wider; growing it lays the
    // dialog out once more than its creation did.
    EXPECT_EQ(session.SizesDuringInit(), 2);
    ExpectInCorner(dialog, 17, 16);

    const SIZE steps[] = {{150, 90}, {-100, 0}, {0, -60}, {-20, 35}};
    for (const SIZE& step : steps) {
        const RECT window = WindowRect(dialog);
        ::SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + step.cx,
                       window.bottom - window.top + step.cy, SWP_NOMOVE | SWP_NOZORDER);
        session.Sync();
        SCOPED_TRACE(testing::Message() << "resized by " << step.cx << "," << step.cy);
        ExpectInCorner(dialog, 17, 16);
    }

    const RECT r = WindowRect(grip);
    const POINT anywhere[] = {{r.left, r.top}, {r.right - 1, r.top}, {r.left, r.bottom - 1},
                              {r.right - 1, r.bottom - 1}, {(r.left + r.right) / 2, (r.top + r.bottom) / 2}};
    for (const POINT& p : anywhere)
        EXPECT_EQ(::SendMessageW(grip, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTBOTTOMRIGHT);
}

TEST_F(DialogSizeGrip, WithThemesOffDrawsDotsInTheShadowColours) {
    // Both are read when a process starts. SetSysColors would do for the colour, but Wine keeps
    // it for every later process of the prefix.
    const UserSetting themesOff =
        UserSetting::Text(L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", L"ThemeActive", L"0");
    const UserSetting blueGrey = UserSetting::Text(L"Control Panel\\Colors", L"ButtonShadow", L"172 168 153");
    EXPECT_TRUE(RunTestInChild("DialogSizeGrip.DISABLED_DotsInTheSystemShadow", {themesOff}));
    EXPECT_TRUE(RunTestInChild("DialogSizeGrip.DISABLED_DotsInALighterBlueGrey", {themesOff, blueGrey}));
}

// Paints the grip of a dialog without a theme twice, checking the dots each time.
void ExpectDotsOnEveryPaint(uint32_t shadow) {
    ASSERT_TRUE(IsTestChild());
    DialogSession session({});
    HWND dialog = session.WaitForDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(session.SizesDuringInit(), 1);
    ExpectInCorner(dialog, 14, 14);
    for (int paint = 0; paint < 2; ++paint) {
        ASSERT_TRUE(session.WaitForPaint(session.Item(kGripId)));
        ExpectDots(CaptureWindow(session.Item(kGripId)), shadow, Rgb(::GetSysColor(COLOR_BTNHIGHLIGHT)));
    }
}

TEST_F(DialogSizeGrip, DISABLED_DotsInTheSystemShadow) {
    ExpectDotsOnEveryPaint(Rgb(::GetSysColor(COLOR_BTNSHADOW)));
}

TEST_F(DialogSizeGrip, DISABLED_DotsInALighterBlueGrey) {
    ASSERT_EQ(::GetSysColor(COLOR_BTNSHADOW), COLORREF{0x99A8AC});
    ExpectDotsOnEveryPaint(0xB8B5A1);
}

} // namespace
