// Anchored controls of a dialog follow its resizing.
#include "ServicesTestSupport.h"
#include "contracts/Txtres.h"

namespace {

using services_test::TestWindow;

// A window laid out like the branch details dialog: 400 x 300 client pixels.
class TxtresLayout : public ::testing::Test {
protected:
    void SetUp() override {
        m_window.AddChild(L"STATIC", IDC_CREATED_BY_LABEL, CRect(10, 10, 70, 30));
        m_window.AddChild(L"BUTTON", IDC_CLOSE, CRect(300, 260, 380, 284));
        m_window.AddChild(L"STATIC", IDC_TOOLBAR_MARKER, CRect(320, 10, 390, 30));
        m_window.AddList({40, 300, 300});
        ASSERT_EQ(m_window.ClientSize(), CSize(400, 300));
        ASSERT_TRUE(m_strWnd.mbInitStrWnd(m_window.hwnd(), L"LayoutTest", false, L"", L"", L""));
        m_strWnd.mvFixCtrl(IDC_CREATED_BY_LABEL, StrWndAnchor::TopLeft);
        m_strWnd.mvFixCtrl(IDC_CLOSE, StrWndAnchor::BottomRight);
        m_strWnd.mvFixCtrl(IDC_TOOLBAR_MARKER, StrWndAnchor::TopRight);
        m_strWnd.mvFixCtrl(IDC_FILE_LIST, StrWndAnchor::Stretch);
    }
    void ResizeTo(int width, int height) {
        m_window.ResizeClient(width, height);
        ASSERT_EQ(m_window.ClientSize(), CSize(width, height));
        m_strWnd.mvUpdateFixedCtrls();
    }
    // Both what the service reports and what the window system says.
    void ExpectAt(unsigned id, const CRect& expected) {
        EXPECT_EQ(m_window.ChildRect(id), expected) << "control " << id;
        EXPECT_EQ(m_strWnd.moGetCtrlPos(id), expected) << "control " << id;
    }

    TestWindow m_window{400, 300};
    StrWnd m_strWnd;
};

TEST_F(TxtresLayout, ControlsMoveAndStretchByAnchorFromTheirRegisteredPlaces) {
    ResizeTo(500, 350);
    ExpectAt(IDC_CREATED_BY_LABEL, CRect(10, 10, 70, 30));
    ExpectAt(IDC_CLOSE, CRect(400, 310, 480, 334));
    ExpectAt(IDC_TOOLBAR_MARKER, CRect(420, 10, 490, 30));
    ExpectAt(IDC_FILE_LIST, CRect(0, 40, 500, 290));
    ResizeTo(300, 250);
    ExpectAt(IDC_CLOSE, CRect(200, 210, 280, 234));
    ExpectAt(IDC_TOOLBAR_MARKER, CRect(220, 10, 290, 30));
    ExpectAt(IDC_FILE_LIST, CRect(0, 40, 300, 190));
    ResizeTo(611, 487);  // round trips do not drift
    ResizeTo(400, 300);
    ExpectAt(IDC_CLOSE, CRect(300, 260, 380, 284));
    ExpectAt(IDC_FILE_LIST, CRect(0, 40, 400, 240));
    ResizeTo(400, 60);  // 240 pixels less: the list's bottom would land 40 above its top
    EXPECT_EQ(m_window.ChildRect(IDC_FILE_LIST), CRect(0, 40, 400, 40));
    ::ShowWindow(m_window.hwnd(), SW_SHOWMINNOACTIVE);
    m_strWnd.mvUpdateFixedCtrls();
    EXPECT_EQ(m_window.ChildRect(IDC_CLOSE), CRect(300, 20, 380, 44)) << "nothing moves while minimised";
}

TEST_F(TxtresLayout, RegistrationsCanBeRepeatedAddedLaterLostOrForgotten) {
    EXPECT_TRUE(m_strWnd.moGetCtrlPos(1234).IsRectNull());
    m_window.AddChild(L"STATIC", 4100, CRect(1, 2, 3, 4));
    EXPECT_TRUE(m_strWnd.moGetCtrlPos(4100).IsRectNull()) << "exists but was never registered";
    ::DestroyWindow(::GetDlgItem(m_window.hwnd(), IDC_TOOLBAR_MARKER));
    m_strWnd.mvFixCtrl(IDC_CREATED_BY_LABEL, StrWndAnchor::BottomRight);  // replaces the anchors
    ResizeTo(500, 350);
    EXPECT_TRUE(m_strWnd.moGetCtrlPos(IDC_TOOLBAR_MARKER).IsRectNull()) << "a control that went is skipped";
    ExpectAt(IDC_CLOSE, CRect(400, 310, 480, 334));
    ExpectAt(IDC_CREATED_BY_LABEL, CRect(110, 60, 170, 80));
    m_window.AddChild(L"STATIC", 4200, CRect(450, 320, 490, 340));
    m_strWnd.mvFixCtrl(4200, StrWndAnchor::BottomRight);  // keeps its distances from now on
    ResizeTo(450, 300);
    ExpectAt(4200, CRect(400, 270, 440, 290));
    m_strWnd.mvDeInitialize();
    ResizeTo(500, 350);
    EXPECT_EQ(m_window.ChildRect(IDC_CLOSE), CRect(350, 260, 430, 284));
    EXPECT_TRUE(m_strWnd.moGetCtrlPos(IDC_CLOSE).IsRectNull());
}

// Every combination of the four anchor bits, on a control at (100, 100, 150, 130) of a 400 x 300
// client area that grows by 60 x 40.
TEST(TxtresAnchors, EachEdgeKeepsItsDistanceToTheSideItIsAnchoredTo) {
    const CRect expected[16] = {
        {100, 100, 150, 130}, {100, 100, 150, 130}, {100, 100, 150, 130}, {100, 100, 150, 130},  // none, left, top
        {160, 100, 210, 130}, {100, 100, 210, 130}, {160, 100, 210, 130}, {100, 100, 210, 130},  // with right
        {100, 140, 150, 170}, {100, 140, 150, 170}, {100, 100, 150, 170}, {100, 100, 150, 170},  // with bottom
        {160, 140, 210, 170}, {100, 140, 210, 170}, {160, 100, 210, 170}, {100, 100, 210, 170}};
    for (int anchors = 0; anchors < 16; ++anchors) {
        TestWindow window(400, 300);
        window.AddChild(L"STATIC", 100, CRect(100, 100, 150, 130));
        StrWnd strWnd;
        ASSERT_TRUE(strWnd.mbInitStrWnd(window.hwnd(), L"AnchorTest", false, L"", L"", L""));
        strWnd.mvFixCtrl(100, anchors);
        window.ResizeClient(460, 340);
        strWnd.mvUpdateFixedCtrls();
        EXPECT_EQ(window.ChildRect(100), expected[anchors]) << "anchors " << anchors;
    }
}

}  // namespace
