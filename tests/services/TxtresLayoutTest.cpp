// Anchored controls of a dialog follow its resizing.
#include "ServicesTestSupport.h"

#include "contracts/Txtres.h"

namespace {

using services_test::TestWindow;

constexpr unsigned kLabel = 4005, kClose = 4001, kMarker = 4009, kList = 4004;

// A window laid out like the branch details dialog: 400 x 300 client pixels.
class TxtresLayout : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_window.hwnd());
        m_window.AddChild(L"STATIC", kLabel, CRect(10, 10, 70, 30));
        m_window.AddChild(L"BUTTON", kClose, CRect(300, 260, 380, 284));
        m_window.AddChild(L"STATIC", kMarker, CRect(320, 10, 390, 30));
        m_window.AddReportList(kList, CRect(0, 40, 400, 240), {40, 300, 300});
        ASSERT_EQ(m_window.ClientSize(), CSize(400, 300));
        ASSERT_TRUE(m_strWnd.mbInitStrWnd(m_window.hwnd(), L"LayoutTest", false, L"", L"", L""));
        m_strWnd.mvFixCtrl(kLabel, StrWndAnchor::TopLeft);
        m_strWnd.mvFixCtrl(kClose, StrWndAnchor::BottomRight);
        m_strWnd.mvFixCtrl(kMarker, StrWndAnchor::TopRight);
        m_strWnd.mvFixCtrl(kList, StrWndAnchor::Stretch);
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

TEST_F(TxtresLayout, GrowingMovesAndStretchesByAnchor) {
    ResizeTo(500, 350);
    ExpectAt(kLabel, CRect(10, 10, 70, 30));
    ExpectAt(kClose, CRect(400, 310, 480, 334));
    ExpectAt(kMarker, CRect(420, 10, 490, 30));
    ExpectAt(kList, CRect(0, 40, 500, 290));
}

TEST_F(TxtresLayout, ShrinkingMovesAndStretchesByAnchor) {
    ResizeTo(300, 250);
    ExpectAt(kLabel, CRect(10, 10, 70, 30));
    ExpectAt(kClose, CRect(200, 210, 280, 234));
    ExpectAt(kMarker, CRect(220, 10, 290, 30));
    ExpectAt(kList, CRect(0, 40, 300, 190));
}

TEST_F(TxtresLayout, PlacesComeFromTheRegisteredRectanglesSoRoundTripsDoNotDrift) {
    ResizeTo(333, 271);
    ResizeTo(611, 487);
    ResizeTo(400, 300);
    ExpectAt(kClose, CRect(300, 260, 380, 284));
    ExpectAt(kList, CRect(0, 40, 400, 240));
}

TEST_F(TxtresLayout, AStretchedControlShrinksToNothingButNotBelow) {
    ResizeTo(400, 60);  // 240 pixels less: the list's bottom would land 40 above its top
    EXPECT_EQ(m_window.ChildRect(kList), CRect(0, 40, 400, 40));
}

TEST_F(TxtresLayout, UnknownControlsHaveAnEmptyRectangle) {
    EXPECT_TRUE(m_strWnd.moGetCtrlPos(1234).IsRectNull());
    m_window.AddChild(L"STATIC", 4100, CRect(1, 2, 3, 4));
    EXPECT_TRUE(m_strWnd.moGetCtrlPos(4100).IsRectNull()) << "exists but was never registered";
}

TEST_F(TxtresLayout, AControlThatNoLongerExistsIsSkipped) {
    ::DestroyWindow(::GetDlgItem(m_window.hwnd(), kMarker));
    ResizeTo(500, 350);
    EXPECT_TRUE(m_strWnd.moGetCtrlPos(kMarker).IsRectNull());
    ExpectAt(kClose, CRect(400, 310, 480, 334));
}

TEST_F(TxtresLayout, RegisteringAgainReplacesTheAnchors) {
    m_strWnd.mvFixCtrl(kClose, StrWndAnchor::TopLeft);
    ResizeTo(500, 350);
    ExpectAt(kClose, CRect(300, 260, 380, 284));
}

TEST_F(TxtresLayout, ControlsRegisteredAfterAResizeKeepTheirDistancesFromThen) {
    ResizeTo(500, 350);
    m_window.AddChild(L"STATIC", 4200, CRect(450, 320, 490, 340));
    m_strWnd.mvFixCtrl(4200, StrWndAnchor::BottomRight);
    ResizeTo(450, 300);
    ExpectAt(4200, CRect(400, 270, 440, 290));
}

TEST_F(TxtresLayout, DeInitializeForgetsTheControls) {
    m_strWnd.mvDeInitialize();
    ResizeTo(500, 350);
    EXPECT_EQ(m_window.ChildRect(kClose), CRect(300, 260, 380, 284));
    EXPECT_TRUE(m_strWnd.moGetCtrlPos(kClose).IsRectNull());
}

TEST_F(TxtresLayout, NothingMovesWhileMinimised) {
    ::ShowWindow(m_window.hwnd(), SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(::IsIconic(m_window.hwnd()));
    m_strWnd.mvUpdateFixedCtrls();
    EXPECT_EQ(m_window.ChildRect(kClose), CRect(300, 260, 380, 284));
}

// Every combination of the four anchor bits, on a control at (100, 100, 150, 130) of a
// 400 x 300 client area that grows by 60 x 40.
struct AnchorCase {
    int anchors;
    CRect expected;
};

class TxtresAnchors : public ::testing::TestWithParam<AnchorCase> {};

TEST_P(TxtresAnchors, EachEdgeKeepsItsDistanceToTheSideItIsAnchoredTo) {
    TestWindow window(400, 300);
    window.AddChild(L"STATIC", 100, CRect(100, 100, 150, 130));
    StrWnd strWnd;
    ASSERT_TRUE(strWnd.mbInitStrWnd(window.hwnd(), L"AnchorTest", false, L"", L"", L""));
    strWnd.mvFixCtrl(100, GetParam().anchors);
    window.ResizeClient(460, 340);
    ASSERT_EQ(window.ClientSize(), CSize(460, 340));
    strWnd.mvUpdateFixedCtrls();
    EXPECT_EQ(window.ChildRect(100), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(AllSixteen, TxtresAnchors,
    ::testing::Values(
        AnchorCase{0, CRect(100, 100, 150, 130)},    // none: stays
        AnchorCase{1, CRect(100, 100, 150, 130)},    // left
        AnchorCase{2, CRect(100, 100, 150, 130)},    // top
        AnchorCase{3, CRect(100, 100, 150, 130)},    // top left
        AnchorCase{4, CRect(160, 100, 210, 130)},    // right: moves across
        AnchorCase{5, CRect(100, 100, 210, 130)},    // left and right: stretches across
        AnchorCase{6, CRect(160, 100, 210, 130)},    // top right
        AnchorCase{7, CRect(100, 100, 210, 130)},    // top, stretched across
        AnchorCase{8, CRect(100, 140, 150, 170)},    // bottom: moves down
        AnchorCase{9, CRect(100, 140, 150, 170)},    // bottom left
        AnchorCase{10, CRect(100, 100, 150, 170)},   // top and bottom: stretches down
        AnchorCase{11, CRect(100, 100, 150, 170)},   // left, stretched down
        AnchorCase{12, CRect(160, 140, 210, 170)},   // bottom right
        AnchorCase{13, CRect(100, 140, 210, 170)},   // bottom, stretched across
        AnchorCase{14, CRect(160, 100, 210, 170)},   // right, stretched down
        AnchorCase{15, CRect(100, 100, 210, 170)}),  // stretches both ways
    [](const ::testing::TestParamInfo<AnchorCase>& info) {
        return "Anchors" + std::to_string(info.param.anchors);
    });

}  // namespace
