#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "DialogSession.h"
#include "framework/CWnd.h"
#include "module/resource.h"
#include "toolkit/Callback.h"
#include "toolkit/Lst.h"
#include "toolkit/RefPtr.h"
#include "toolkit/SizeGrip.h"
#include "toolkit/UIObject.h"

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

struct Counted : BFC::RefObj {
    explicit Counted(int* alive) : alive(alive) { ++*alive; }
    ~Counted() override { --*alive; }
    int* alive;
};

TEST(RefPtr, TheFirstPointerOwnsANewObjectAndReassigningTheHeldObjectKeepsItAndLstReleasesItsReferences) {
    int alive = 0;
    RefPtr<Counted> a(new Counted(&alive));
    a = a.get();  // the sole owner: releasing before taking the new reference would delete it
    a = a;
    ASSERT_EQ(alive, 1);
    EXPECT_EQ(a->RefCount(), 1u);
    RefPtr<Counted> b(a);
    a = b.get();
    EXPECT_EQ(a->RefCount(), 2u);
    b = nullptr;
    EXPECT_EQ(a->RefCount(), 1u);
    a = nullptr;
    EXPECT_EQ(alive, 0);
    {
        Lst<RefPtr<Counted>> list;
        for (int i = 0; i < 3; ++i)
            list.AddTail(RefPtr<Counted>(new Counted(&alive)));
        EXPECT_EQ(list.GetCount() + alive + int(list.Head()->value->RefCount()), 7);
        EXPECT_TRUE(list.Head()->next->prev == list.Head() && list.Tail()->next == nullptr);
        list.RemoveAll();
        EXPECT_TRUE(!list.Head() && !list.Tail() && list.GetCount() == 0 && alive == 0);
        list.AddTail(RefPtr<Counted>(new Counted(&alive)));
    }
    EXPECT_EQ(alive, 0);
}

class Caption : public BFC::UIObject {
public:
    explicit Caption(std::wstring text) : m_text(std::move(text)) {}
    void Draw(Gdiplus::Graphics&, int, int, int, int, int) override {}
    void GetRect(RECT& out) const override { out = RECT{0, 0, 10, 10}; }
    void GetContent(std::wstring& text, HICON&, UINT&, std::wstring&) const override { text = m_text; }
private:
    std::wstring m_text;
};

TEST(Callback, InvokePostsTheCommandWithNoLParamAndTooltipTextsDropMnemonicsAndPlainEllipses) {
    HWND target = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    RefPtr<BFC::Callback> command(new BFC::Callback(ID_OPEN_AS_CSV));
    command->Invoke(new Caption(L"x"), 0, 0, target, 5, 5);
    EXPECT_EQ(command->invokeCount, 1u);
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, target, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(std::pair(msg.wParam, msg.lParam), std::pair(WPARAM{ID_OPEN_AS_CSV}, LPARAM{0}));
    ::DestroyWindow(target);
    command->Invoke({}, 0, 0, target, 0, 0);
    EXPECT_EQ(command->invokeCount, 2u);
    const wchar_t* rows[][3] = {{L"Save &as...", L"ignored", L"Save as..."},  // its own text keeps its dots
                                {L"", L"Save &as...", L"Save as"},
                                {L"", L"\u00A4Save &as...", L"\u00A4Save as..."},  // a titled caption keeps them
                                {L"", L"", L""}};
    for (const auto& row : rows) {
        Caption element(row[1]);
        element.tooltipText = row[0];
        std::wstring out = L"garbage";
        element.GetTooltipText(out);
        EXPECT_EQ(out, row[2]) << ::testing::PrintToString(std::wstring(row[1]));
    }
}

} // namespace
