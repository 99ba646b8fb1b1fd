// The size grip's look on systems older than visual styles, drawn in a window of the test.
#include <gtest/gtest.h>
#include <windows.h>
#include "DialogSession.h"
#include "toolkit/SizeGrip.h"

namespace {

uint32_t Rgb(COLORREF colour) { return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour); }

TEST(SizeGrip, ClassicLookIsThreeGroupsOfDiagonalLines) {
    HWND frame = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 60, 60, nullptr, nullptr,
                                   nullptr, nullptr);
    ASSERT_TRUE(frame);
    {
        SizeGrip grip;
        ASSERT_TRUE(grip.Create(L"", WS_CHILD | WS_VISIBLE, RECT{20, 20, 34, 34}, CWnd::FromHandle(frame)));
        ::UpdateWindow(frame);
        ::UpdateWindow(grip.m_hWnd);
        const lineage_test::Capture pixels = lineage_test::CaptureWindow(grip.m_hWnd);
        ASSERT_EQ(pixels.width * pixels.height, 14 * 14);

        const uint32_t highlight = Rgb(::GetSysColor(COLOR_BTNHIGHLIGHT));
        const uint32_t shadow = Rgb(::GetSysColor(COLOR_BTNSHADOW));
        const uint32_t background = pixels.At(0, 0);
        ASSERT_TRUE(background != highlight && background != shadow);
        // Line k runs up and right from (k, 12) and stops short of (13, k - 1); lines 1, 5 and 9
        // are highlights, the two after each are shadows, lines 4 and 8 are left out.
        for (int y = 0; y < 14; ++y) {
            for (int x = 0; x < 14; ++x) {
                const int k = x + y - 12;
                const bool onLine = k >= 1 && x <= 12 && y <= 12;
                uint32_t expected = background;
                if (onLine && k % 4 == 1)
                    expected = highlight;
                else if (onLine && k % 4 != 0)
                    expected = shadow;
                EXPECT_EQ(pixels.At(x, y), expected) << "at " << x << "," << y;
            }
        }
    }
    CWnd::DeleteTempMap();
    ::DestroyWindow(frame);
}

} // namespace
