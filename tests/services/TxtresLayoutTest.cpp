#include "ServicesTestSupport.h"
#include "contracts/Txtres.h"

namespace {

TEST(TxtresLayout, ControlsKeepTheirDistancesToTheSidesTheyAreAnchoredToFromWhereTheyWereRegistered) {
    services_test::TestWindow window(400, 300);
    StrWnd strWnd;
    ASSERT_TRUE(strWnd.mbInitStrWnd(window.hwnd(), L"LayoutTest", false, L"", L"", L""));
    window.AddChild(L"STATIC", IDC_TOOLBAR_MARKER, CRect(320, 10, 390, 30));
    strWnd.mvFixCtrl(IDC_TOOLBAR_MARKER, StrWndAnchor::TopRight);
    ::DestroyWindow(::GetDlgItem(window.hwnd(), IDC_TOOLBAR_MARKER));  // a control that went is skipped
    // Every combination of the four anchor bits, on controls at (100, 100, 150, 130).
    for (int anchors = 0; anchors < 16; ++anchors) {
        window.AddChild(L"STATIC", 100 + anchors, CRect(100, 100, 150, 130));
        strWnd.mvFixCtrl(100 + anchors, anchors);
    }
    window.AddChild(L"BUTTON", IDC_CLOSE, CRect(300, 260, 380, 284));
    strWnd.mvFixCtrl(IDC_CLOSE, StrWndAnchor::TopLeft);
    window.AddChild(L"STATIC", IDC_FILE_LIST, CRect(0, 40, 400, 240));
    strWnd.mvFixCtrl(IDC_FILE_LIST, StrWndAnchor::Stretch);
    EXPECT_TRUE(strWnd.moGetCtrlPos(IDC_CREATED_BY_LABEL).IsRectNull()) << "never registered";
    const auto resize = [&](int width, int height, const CRect& close, const CRect& list) {
        window.ResizeClient(width, height);
        strWnd.mvUpdateFixedCtrls();
        EXPECT_EQ(window.ChildRect(IDC_CLOSE), close) << width << " x " << height;
        EXPECT_EQ(window.ChildRect(IDC_FILE_LIST), list) << width << " x " << height;
        EXPECT_EQ(strWnd.moGetCtrlPos(IDC_FILE_LIST), list) << "what the service reports";
    };
    resize(460, 340, {300, 260, 380, 284}, {0, 40, 460, 280});
    const CRect expected[16] = {
        {100, 100, 150, 130}, {100, 100, 150, 130}, {100, 100, 150, 130}, {100, 100, 150, 130},  // none, left, top
        {160, 100, 210, 130}, {100, 100, 210, 130}, {160, 100, 210, 130}, {100, 100, 210, 130},  // with right
        {100, 140, 150, 170}, {100, 140, 150, 170}, {100, 100, 150, 170}, {100, 100, 150, 170},  // with bottom
        {160, 140, 210, 170}, {100, 140, 210, 170}, {160, 100, 210, 170}, {100, 100, 210, 170}};
    for (int anchors = 0; anchors < 16; ++anchors)
        EXPECT_EQ(window.ChildRect(100 + anchors), expected[anchors]) << "anchors " << anchors;

    strWnd.mvFixCtrl(IDC_CLOSE, StrWndAnchor::BottomRight);  // new anchors, distances of the size now
    resize(400, 300, {240, 220, 320, 244}, {0, 40, 400, 240});
    resize(611, 487, {451, 407, 531, 431}, {0, 40, 611, 427});
    resize(460, 340, {300, 260, 380, 284}, {0, 40, 460, 280});  // round trips do not drift
    resize(460, 50, {300, -30, 380, -6}, {0, 40, 460, 40});  // the list shrinks to nothing, not below
    ::ShowWindow(window.hwnd(), SW_SHOWMINNOACTIVE);
    strWnd.mvUpdateFixedCtrls();
    EXPECT_EQ(window.ChildRect(IDC_CLOSE), CRect(300, -30, 380, -6)) << "nothing moves while minimised";
    ::ShowWindow(window.hwnd(), SW_RESTORE);
    strWnd.mvDeInitialize();
    window.ResizeClient(500, 350);
    strWnd.mvUpdateFixedCtrls();
    EXPECT_EQ(window.ChildRect(IDC_CLOSE), CRect(300, -30, 380, -6)) << "forgotten";
    EXPECT_TRUE(strWnd.moGetCtrlPos(IDC_CLOSE).IsRectNull());
}

}  // namespace
