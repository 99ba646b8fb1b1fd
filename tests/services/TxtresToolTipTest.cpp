#include "ServicesTestSupport.h"
#include "contracts/Txtres.h"

namespace {

HWND g_owner;
std::wstring g_seen;  // whether the message box had the owner, its caption and its text

std::wstring Text(HWND wnd) {
    wchar_t text[256] = {};
    ::GetWindowTextW(wnd, text, 256);
    return text;
}

LRESULT CALLBACK AnswerMessageBox(int code, WPARAM wp, LPARAM lp) noexcept {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lp);
    if (code == HC_ACTION && g_seen.empty() && call->message == WM_INITDIALOG) {
        g_seen = (::GetWindow(call->hwnd, GW_OWNER) == g_owner ? L"owned|" : L"|") + Text(call->hwnd) + L"|" +
                 Text(::GetDlgItem(call->hwnd, 0xFFFF));  // the static text of every message box
        ::PostMessageW(call->hwnd, WM_COMMAND, IDOK, 0);
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

class TxtresToolTips : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_strWnd.mbInitStrWnd(m_window.hwnd(), L"ToolTipTest", false, L"", L"", L"")); }
    bool Add(unsigned id, const wchar_t* text, HWND wnd = nullptr, CRect rect = CRect(10, 10, 60, 40)) {
        return m_strWnd.mbAddToolTip(wnd ? wnd : m_window.hwnd(), id, rect, text);
    }
    HWND ToolTip() const {
        HWND found = nullptr, tip = nullptr;
        while ((tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)))
            if (::GetWindow(tip, GW_OWNER) == m_window.hwnd()) {
                EXPECT_EQ(found, nullptr) << "one tooltip control per StrWnd";
                found = tip;
            }
        return found;
    }
    LRESULT Send(UINT msg, WPARAM wp, const void* lp) const {
        return ::SendMessageW(ToolTip(), msg, wp, reinterpret_cast<LPARAM>(lp));
    }
    // The tool's rectangle (empty when it is unknown) and its text, asked as when it pops up.
    std::pair<CRect, std::wstring> Tool(unsigned id) const {
        wchar_t text[256] = {};
        TTTOOLINFOW info{TTTOOLINFOW_V2_SIZE, 0, m_window.hwnd(), id};
        const bool known = Send(TTM_GETTOOLINFOW, 0, &info);
        EXPECT_TRUE(!known || (info.uFlags & TTF_SUBCLASS)) << "the tooltip watches the mouse itself";
        info.lpszText = text;
        Send(TTM_GETTEXTW, 256, &info);
        return {known ? CRect(info.rect) : CRect(), text};
    }
    CSize ShownSize(unsigned id) const {
        TTTOOLINFOW info{TTTOOLINFOW_V2_SIZE, 0, m_window.hwnd(), id};
        Send(TTM_TRACKPOSITION, 0, reinterpret_cast<void*>(MAKELPARAM(100, 100)));
        Send(TTM_TRACKACTIVATE, TRUE, &info);
        const CSize size = ::IsWindowVisible(ToolTip()) ? services_test::ScreenRect(ToolTip()).Size() : CSize();
        Send(TTM_TRACKACTIVATE, FALSE, &info);
        return size;
    }

    services_test::TestWindow m_window{400, 300};
    StrWnd m_strWnd;
};

TEST_F(TxtresToolTips, ToolsLiveOnOneTooltipWindowAndATitledTextShowsItsDescriptionUnderABoldTitle) {
    CRect rect(0, 0, 10, 10);
    EXPECT_FALSE(m_strWnd.mbAddToolTip(nullptr, 1, rect, L"text") || Add(1, nullptr));
    EXPECT_EQ(ToolTip(), nullptr) << "made with the first tool";
    ASSERT_TRUE(Add(1, L"old") && Add(2, L"two") && Add(1, L"new", nullptr, CRect(15, 12, 65, 42)));
    ASSERT_TRUE(Add(1, L"on the child", m_window.AddChild(L"STATIC", 300, CRect(0, 100, 200, 200))));
    EXPECT_EQ(Send(TTM_GETTOOLCOUNT, 0, nullptr), 3);
    EXPECT_EQ(Tool(1), std::pair(CRect(15, 12, 65, 42), std::wstring(L"new")));
    EXPECT_TRUE(m_strWnd.mbRemoveRectToolTip(::GetDlgItem(m_window.hwnd(), 300), 1));
    EXPECT_TRUE(m_strWnd.mbRemoveRectToolTip(m_window.hwnd(), 1));
    EXPECT_EQ(Send(TTM_GETTOOLCOUNT, 0, nullptr), 1);
    EXPECT_TRUE(Tool(1).first.IsRectNull());
    EXPECT_EQ(Tool(2).second, L"two");
    EXPECT_FALSE(m_strWnd.mbRemoveRectToolTip(m_window.hwnd(), 1)) << "already gone";
    const wchar_t* texts[] = {L"\u00A4Open as CSV\nOpens a CSV file.", L"Opens a CSV file.", L"\u00A4Only a title",
                              L"\u00A4\nOnly a description", L"Only a title"};
    for (unsigned id = 0; id < 5; ++id)
        ASSERT_TRUE(Add(id, texts[id], nullptr, CRect(10, 10 + 30 * id, 60, 40 + 30 * id)));
    EXPECT_EQ(Tool(0).second + L"|" + Tool(2).second + L"|" + Tool(3).second,
              L"Opens a CSV file.|Only a title|Only a description");
    const CSize titled = ShownSize(0), plain = ShownSize(1);
    ASSERT_NE(plain, CSize()) << "the tip did not show";
    EXPECT_GT(titled.cy, plain.cy) << "the title adds a line above the description";
    EXPECT_EQ(ShownSize(1), plain) << "a plain tip after a titled one has no title left over";
    EXPECT_EQ(ShownSize(2), ShownSize(4)) << "a title mark without a description shows plain text";
    // On top, so that the point under the cursor is this window's whatever other tests show.
    Send(TTM_SETDELAYTIME, TTDT_INITIAL, reinterpret_cast<void*>(1));
    ::SetWindowPos(m_window.hwnd(), HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    POINT point{30, 25};
    ::ClientToScreen(m_window.hwnd(), &point);
    ::SetCursorPos(point.x, point.y);
    ::SendMessageW(m_window.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 25));  // what TTF_SUBCLASS relays
    const ULONGLONG deadline = ::GetTickCount64() + 5000;
    for (MSG msg; !::IsWindowVisible(ToolTip()) && ::GetTickCount64() < deadline;) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
    }
    ASSERT_TRUE(::IsWindowVisible(ToolTip()));
    EXPECT_EQ(Text(ToolTip()), L"Opens a CSV file.");
    ::SetWindowTextW(g_owner = m_window.hwnd(), L"Branch Details");
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, AnswerMessageBox, nullptr, ::GetCurrentThreadId());
    m_strWnd.mvMsgBox(L"%s has %d files (%.1f%%)", L"Release 2", 3, 12.5);
    ::UnhookWindowsHookEx(hook);
    EXPECT_EQ(g_seen, L"owned|Branch Details|Release 2 has 3 files (12.5%)");
    std::wstring text = L"unchanged";
    EXPECT_FALSE(m_strWnd.mbGetHelpString(IDC_HELP_BUTTON, text) || m_strWnd.mbPermitToolTip(1, text));
    EXPECT_EQ(text, L"unchanged");
    HWND first = ToolTip();
    m_strWnd.mvDeInitialize();
    EXPECT_FALSE(::IsWindow(first));
    EXPECT_FALSE(m_strWnd.mbRemoveRectToolTip(m_window.hwnd(), 2));
    ASSERT_TRUE(Add(3, L"three"));
    EXPECT_EQ(Tool(3).second, L"three");
    HWND second = ToolTip();
    ::DestroyWindow(m_window.hwnd());
    EXPECT_FALSE(::IsWindow(second)) << "the tooltip goes with its owner";
    EXPECT_FALSE(m_strWnd.mbRemoveRectToolTip(m_window.hwnd(), 3)) << "and its tools with it";
}

}  // namespace
