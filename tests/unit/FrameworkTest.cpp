// The window layer: the handle map, subclassing, reflected notifications and the search for
// a module's resources.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "framework/AfxExtensionModule.h"
#include "framework/AfxModuleState.h"
#include "framework/CStatic.h"
#include "framework/CWnd.h"

namespace {

HWND MakeWindow(HWND parent = nullptr, int id = 0) {
    return ::CreateWindowExW(0, L"STATIC", L"", parent ? WS_CHILD : WS_POPUP, 0, 0, 10, 10, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

TEST(HandleMap, AttachedObjectsAreFoundAgainAndOthersGetATemporaryOne) {
    HWND wnd = MakeWindow();
    CWnd attached;
    ASSERT_TRUE(attached.Attach(wnd));
    EXPECT_EQ(CWnd::FromHandle(wnd), &attached);
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd), &attached);
    attached.Detach();

    CWnd* temporary = CWnd::FromHandle(wnd);
    ASSERT_NE(temporary, nullptr);
    EXPECT_EQ(temporary->m_hWnd, wnd);
    EXPECT_EQ(CWnd::FromHandle(wnd), temporary);
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd), nullptr);
    CWnd::DeleteTempMap();
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    ::DestroyWindow(wnd);
}

// Counts the messages it sees and reflects nothing.
class Counting : public CWnd {
public:
    int seen = 0;
    int notified = 0;
    int reflectedCode = 0;
protected:
    bool OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override {
        if (msg == WM_USER + 1) {
            ++seen;
            *result = 42;
            return true;
        }
        return CWnd::OnWndMsg(msg, wp, lp, result);
    }
    bool OnNotify(WPARAM, LPARAM, LRESULT* result) override {
        ++notified;
        *result = 7;
        return true;
    }
    bool OnChildNotify(UINT, WPARAM, LPARAM lp, LRESULT* result) override {
        reflectedCode = static_cast<int>(reinterpret_cast<NMHDR*>(lp)->code);
        if (reflectedCode != 1)
            return false;
        *result = 9;
        return true;
    }
};

TEST(Subclassing, RoutesMessagesAndGivesTheOriginalProcedureBackWhenTheWindowGoes) {
    HWND wnd = MakeWindow();
    const LONG_PTR original = ::GetWindowLongPtrW(wnd, GWLP_WNDPROC);
    Counting object;
    ASSERT_TRUE(object.SubclassWindow(wnd));
    EXPECT_EQ(::SendMessageW(wnd, WM_USER + 1, 0, 0), 42);
    EXPECT_EQ(object.seen, 1);
    EXPECT_EQ(object.UnsubclassWindow(), wnd);
    EXPECT_EQ(::GetWindowLongPtrW(wnd, GWLP_WNDPROC), original);
    EXPECT_EQ(::SendMessageW(wnd, WM_USER + 1, 0, 0), 0);

    ASSERT_TRUE(object.SubclassWindow(wnd));
    ::DestroyWindow(wnd);
    EXPECT_EQ(object.m_hWnd, nullptr) << "destroying the window detaches the object";
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd), nullptr);
}

TEST(Reflection, TheChildThatSentANotificationAnswersFirst) {
    HWND parent = MakeWindow();
    HWND child = MakeWindow(parent, 5);
    Counting parentObject, childObject;
    ASSERT_TRUE(parentObject.SubclassWindow(parent));
    ASSERT_TRUE(childObject.SubclassWindow(child));

    NMHDR header{child, 5, 1};
    EXPECT_EQ(::SendMessageW(parent, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)), 9);
    EXPECT_EQ(parentObject.notified, 0) << "the child took it";
    header.code = 2;
    EXPECT_EQ(::SendMessageW(parent, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)), 7);
    EXPECT_EQ(childObject.reflectedCode, 2);
    EXPECT_EQ(parentObject.notified, 1) << "what the child leaves goes to the parent";
    ::DestroyWindow(parent);
}

TEST(StaticControl, IsCreatedAsAChildWithItsIdAndAttached) {
    HWND parent = MakeWindow();
    CWnd parentObject;
    ASSERT_TRUE(parentObject.Attach(parent));
    CStatic grip;
    ASSERT_TRUE(grip.Create(L"", WS_CHILD | WS_VISIBLE, RECT{10, 20, 24, 34}, &parentObject, 0xFFFF));
    EXPECT_EQ(::GetParent(grip.m_hWnd), parent);
    EXPECT_EQ(::GetDlgCtrlID(grip.m_hWnd), 0xFFFF);
    EXPECT_EQ(CWnd::FromHandlePermanent(grip.m_hWnd), &grip);
    RECT rect{};
    ::GetWindowRect(grip.m_hWnd, &rect);
    EXPECT_EQ(rect.right - rect.left, 14);
    parentObject.Detach();
    ::DestroyWindow(parent);
    EXPECT_EQ(grip.m_hWnd, nullptr);
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

    LPCWSTR dialog = MAKEINTRESOURCEW(4000);
    EXPECT_EQ(AfxFindResourceHandle(dialog, MAKEINTRESOURCEW(5)), nullptr) << "the host has no such template";
    AFX_EXTENSION_MODULE extension;
    ASSERT_TRUE(AfxInitExtensionModule(extension, module));
    {
        CDynLinkLibrary library(extension);
        EXPECT_EQ(AfxFindResourceHandle(dialog, MAKEINTRESOURCEW(5)), module);
    }
    EXPECT_EQ(AfxFindResourceHandle(dialog, MAKEINTRESOURCEW(5)), nullptr);
    AfxTermExtensionModule(extension);
    ::FreeLibrary(module);
}

} // namespace
