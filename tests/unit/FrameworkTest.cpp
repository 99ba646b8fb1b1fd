#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "DialogSession.h"
#include "framework/AfxExtensionModule.h"
#include "framework/AfxModuleState.h"
#include "framework/CWnd.h"
#include "module/resource.h"
#include "toolkit/SizeGrip.h"

namespace {

class Counting : public CWnd {
public:
    int seen = 0;
protected:
    bool OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override {
        if (msg != WM_USER + 1)
            return CWnd::OnWndMsg(msg, wp, lp, result);
        ++seen;
        *result = 42;
        return true;
    }
};

uint32_t Rgb(COLORREF colour) { return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour); }

TEST(CWnd, MapsHandlesAndSubclassesUntilTheWindowGoesAndTheSizeGripHasTheClassicLook) {
    HWND wnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 60, 60, nullptr, nullptr, nullptr,
                                 nullptr);
    CWnd attached;
    ASSERT_TRUE(attached.Attach(wnd));
    EXPECT_EQ(CWnd::FromHandle(wnd), &attached);
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd), &attached);
    attached.Detach();
    CWnd* temporary = CWnd::FromHandle(wnd);
    ASSERT_TRUE(temporary && temporary->m_hWnd == wnd && CWnd::FromHandle(wnd) == temporary);
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd), nullptr);
    CWnd::DeleteTempMap();
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    const LONG_PTR original = ::GetWindowLongPtrW(wnd, GWLP_WNDPROC);
    Counting parent;
    ASSERT_TRUE(parent.SubclassWindow(wnd));
    EXPECT_EQ(::SendMessageW(wnd, WM_USER + 1, 0, 0), 42);
    EXPECT_EQ(parent.UnsubclassWindow(), wnd);
    EXPECT_EQ(::GetWindowLongPtrW(wnd, GWLP_WNDPROC), original);
    EXPECT_EQ(::SendMessageW(wnd, WM_USER + 1, 0, 0), 0);
    EXPECT_EQ(parent.seen, 1);
    SizeGrip grip;
    ASSERT_TRUE(grip.Create(L"", WS_CHILD | WS_VISIBLE, RECT{20, 20, 34, 34}, CWnd::FromHandle(wnd), IDC_SIZE_GRIP));
    EXPECT_EQ(CWnd::FromHandlePermanent(::GetDlgItem(wnd, IDC_SIZE_GRIP)), &grip);
    ::UpdateWindow(wnd);
    ::UpdateWindow(grip.m_hWnd);
    const lineage_test::Capture pixels = lineage_test::CaptureWindow(grip.m_hWnd);
    ASSERT_EQ(pixels.width * pixels.height, 14 * 14);
    const uint32_t highlight = Rgb(::GetSysColor(COLOR_BTNHIGHLIGHT)), shadow = Rgb(::GetSysColor(COLOR_BTNSHADOW));
    const uint32_t background = pixels.At(0, 0);
    ASSERT_TRUE(background != highlight && background != shadow);
    // Line k runs from (k, 12) up to (13, k - 1): 1, 5, 9 are highlights, the two after each shadows.
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x < 14; ++x) {
            const int k = x + y - 12;
            const bool onLine = k >= 1 && x <= 12 && y <= 12;
            const uint32_t expected = !onLine || k % 4 == 0 ? background : k % 4 == 1 ? highlight : shadow;
            EXPECT_EQ(pixels.At(x, y), expected) << "at " << x << "," << y;
        }
    }
    CWnd::DeleteTempMap();
    ASSERT_TRUE(parent.SubclassWindow(wnd));
    ::DestroyWindow(wnd);
    EXPECT_EQ(parent.m_hWnd, nullptr) << "destroying a window detaches its object";
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd), nullptr);
    EXPECT_EQ(grip.m_hWnd, nullptr) << "and its children's";
}

TEST(Resources, TheSwitchIsUndoneAndExtensionModulesAreSearchedAfterIt) {
    const HINSTANCE host = AfxGetResourceHandle();
    HMODULE module = ::LoadLibraryExW(L"Lineage.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module);
    {
        AfxResourceHandleScope scope(module);
        EXPECT_EQ(AfxGetResourceHandle(), module);
    }
    EXPECT_EQ(AfxGetResourceHandle(), host);
    const auto find = [] { return AfxFindResourceHandle(MAKEINTRESOURCEW(IDD_BRANCH_DETAILS), RT_DIALOG); };
    EXPECT_EQ(find(), nullptr) << "the host has no such template";
    AFX_EXTENSION_MODULE extension;
    ASSERT_TRUE(AfxInitExtensionModule(extension, module));
    {
        CDynLinkLibrary library(extension);
        EXPECT_EQ(find(), module);
    }
    EXPECT_EQ(find(), nullptr);
    AfxTermExtensionModule(extension);
    ::FreeLibrary(module);
}

} // namespace
