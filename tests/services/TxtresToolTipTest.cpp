// Rectangle tooltips, the message box and the inert virtual members of StrWnd.
#include "ServicesTestSupport.h"
#include <memory>
#include "contracts/Txtres.h"

namespace {

using services_test::TestWindow;

class TxtresToolTips : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_strWnd->mbInitStrWnd(m_window.hwnd(), L"ToolTipTest", false, L"", L"", L"")); }

    bool Add(unsigned id, CRect rect, const wchar_t* text, HWND wnd = nullptr) {
        return m_strWnd->mbAddToolTip(wnd ? wnd : m_window.hwnd(), id, rect, text);
    }
    // The one tooltip window owned by the window.
    HWND ToolTip() const {
        HWND found = nullptr, tip = nullptr;
        int count = 0;
        while ((tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)))
            if (::GetWindow(tip, GW_OWNER) == m_window.hwnd())
                found = tip, ++count;
        EXPECT_LE(count, 1) << "one tooltip control per StrWnd";
        return found;
    }
    int ToolCount() const { return static_cast<int>(::SendMessageW(ToolTip(), TTM_GETTOOLCOUNT, 0, 0)); }
    // The tool's rectangle (empty when it is unknown) and the text it shows, asked as when it pops up.
    std::pair<CRect, std::wstring> Tool(unsigned id) const {
        wchar_t text[1024] = {};
        TTTOOLINFOW info{TTTOOLINFOW_V2_SIZE, 0, m_window.hwnd(), id};
        const bool known = ::SendMessageW(ToolTip(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_TRUE(!known || (info.uFlags & TTF_SUBCLASS)) << "the tooltip watches the mouse itself";
        info.lpszText = text;
        ::SendMessageW(ToolTip(), TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&info));
        return {known ? CRect(info.rect) : CRect(), text};
    }
    // Shows the tip of a tool at a fixed place and measures it.
    CSize ShownSize(unsigned id) const {
        TTTOOLINFOW info{TTTOOLINFOW_V2_SIZE, 0, m_window.hwnd(), id};
        ::SendMessageW(ToolTip(), TTM_TRACKPOSITION, 0, MAKELPARAM(100, 100));
        ::SendMessageW(ToolTip(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
        CRect rect;
        ::GetWindowRect(ToolTip(), &rect);
        const bool visible = ::IsWindowVisible(ToolTip());
        ::SendMessageW(ToolTip(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
        return visible ? rect.Size() : CSize();
    }

    TestWindow m_window{400, 300};
    std::unique_ptr<StrWnd> m_strWnd = std::make_unique<StrWnd>();
};

TEST_F(TxtresToolTips, ToolsAreAddedReplacedAndRemovedOnOneTooltipWindow) {
    CRect rect(0, 0, 10, 10);
    EXPECT_FALSE(m_strWnd->mbAddToolTip(nullptr, 1, rect, L"text"));
    EXPECT_FALSE(Add(1, rect, nullptr));
    EXPECT_EQ(ToolTip(), nullptr) << "made with the first tool";
    ASSERT_TRUE(Add(1, CRect(10, 10, 60, 40), L"old"));
    ASSERT_TRUE(Add(2, CRect(70, 10, 120, 40), L"two"));
    ASSERT_TRUE(Add(1, CRect(15, 12, 65, 42), L"new"));
    ASSERT_TRUE(Add(1, CRect(5, 5, 50, 50), L"on the child", m_window.AddChild(L"STATIC", 300, CRect(0, 100, 200, 200))));
    EXPECT_EQ(ToolCount(), 3);
    EXPECT_EQ(Tool(1), std::pair(CRect(15, 12, 65, 42), std::wstring(L"new")));
    EXPECT_TRUE(m_strWnd->mbRemoveRectToolTip(::GetDlgItem(m_window.hwnd(), 300), 1));
    EXPECT_TRUE(m_strWnd->mbRemoveRectToolTip(m_window.hwnd(), 1));
    EXPECT_EQ(ToolCount(), 1);
    EXPECT_TRUE(Tool(1).first.IsRectNull());
    EXPECT_EQ(Tool(2).second, L"two");
    EXPECT_FALSE(m_strWnd->mbRemoveRectToolTip(m_window.hwnd(), 1)) << "already gone";
    EXPECT_FALSE(m_strWnd->mbRemoveRectToolTip(m_window.hwnd(), 99)) << "never added";

    HWND first = ToolTip();
    m_strWnd->mvDeInitialize();
    EXPECT_FALSE(::IsWindow(first));
    EXPECT_FALSE(m_strWnd->mbRemoveRectToolTip(m_window.hwnd(), 2));
    ASSERT_TRUE(Add(3, CRect(10, 10, 60, 40), L"three"));
    EXPECT_EQ(ToolCount(), 1);
    EXPECT_EQ(Tool(3).second, L"three");
}

TEST_F(TxtresToolTips, ATitledTextShowsItsDescriptionUnderABoldTitle) {
    const wchar_t* texts[] = {L"\u00A4Open as CSV\nOpens a CSV file.", L"Opens a CSV file.", L"\u00A4Only a title",
                              L"\u00A4\nOnly a description", L"Only a title"};
    for (unsigned id = 0; id < 5; ++id)
        ASSERT_TRUE(Add(id, CRect(10, 10, 60, 40), texts[id]));
    EXPECT_EQ(Tool(0).second + L"|" + Tool(2).second + L"|" + Tool(3).second,
              L"Opens a CSV file.|Only a title|Only a description");
    const CSize titled = ShownSize(0), plain = ShownSize(1);
    ASSERT_NE(plain, CSize()) << "the tip did not show";
    EXPECT_GT(titled.cy, plain.cy) << "the title adds a line above the description";
    EXPECT_EQ(ShownSize(1), plain) << "a plain tip after a titled one has no title left over";
    EXPECT_EQ(ShownSize(2), ShownSize(4)) << "a title mark without a description shows plain text";
}

TEST_F(TxtresToolTips, TheTipAppearsWhenTheMouseRestsOnTheTool) {
    ASSERT_TRUE(Add(1, CRect(10, 10, 60, 40), L"\u00A4Save as CSV\nSaves a CSV file."));
    ::SendMessageW(ToolTip(), TTM_SETDELAYTIME, TTDT_INITIAL, 1);
    // On top, so that the point under the cursor is this window's even with other test programs
    // showing windows on the same desktop.
    ::SetWindowPos(m_window.hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    POINT point{30, 25};
    ::ClientToScreen(m_window.hwnd(), &point);
    ::SetCursorPos(point.x, point.y);
    ::SendMessageW(m_window.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 25));  // what TTF_SUBCLASS relays
    ASSERT_TRUE(services_test::PumpUntil([&] { return ::IsWindowVisible(ToolTip()) != FALSE; }));
    wchar_t shown[128] = {};
    ::GetWindowTextW(ToolTip(), shown, 128);
    EXPECT_STREQ(shown, L"Saves a CSV file.");
}

TEST_F(TxtresToolTips, TheTooltipGoesWithTheStrWndOrItsWindowAndNothingCallsBack) {
    ASSERT_TRUE(Add(1, CRect(10, 10, 60, 40), L"\u00A4Title\nText"));
    HWND tip = ToolTip();
    m_strWnd.reset();
    EXPECT_FALSE(::IsWindow(tip));
    NMTTDISPINFOW info{{tip, 1, static_cast<UINT>(TTN_GETDISPINFOW)}};
    ::SendMessageW(m_window.hwnd(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&info));
    ::SendMessageW(m_window.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));

    m_strWnd = std::make_unique<StrWnd>();
    ASSERT_TRUE(m_strWnd->mbInitStrWnd(m_window.hwnd(), L"ToolTipTest", false, L"", L"", L""));
    ASSERT_TRUE(Add(1, CRect(10, 10, 60, 40), L"one"));
    tip = ToolTip();
    ::DestroyWindow(m_window.hwnd());
    EXPECT_FALSE(::IsWindow(tip)) << "the tooltip goes with its owner";
    EXPECT_FALSE(m_strWnd->mbRemoveRectToolTip(m_window.hwnd(), 1));
    m_strWnd.reset();
}

// Reads the first dialog this thread initialises (a message box): whether the window owns it,
// its caption and its children's texts; then answers it with OK.
struct MessageBoxAnswer {
    static void Add(HWND wnd) {
        wchar_t text[256] = {};
        ::GetWindowTextW(wnd, text, 256);
        *s_texts += std::wstring(text) + L"|";
    }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) noexcept {
        const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (code == HC_ACTION && !s_texts && call->message == WM_INITDIALOG) {
            s_texts = new std::wstring(::GetWindow(call->hwnd, GW_OWNER) == s_owner ? L"owned|" : L"|");
            Add(call->hwnd);
            ::EnumChildWindows(call->hwnd, [](HWND child, LPARAM) -> BOOL { Add(child); return TRUE; }, 0);
            ::PostMessageW(call->hwnd, WM_COMMAND, IDOK, 0);
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline HWND s_owner = nullptr;
    static inline std::wstring* s_texts = nullptr;
};

TEST(TxtresStrWnd, TheMessageBoxShowsTheFormattedTextOwnedByTheWindowAndHelpIsNotOffered) {
    TestWindow window(300, 200);
    ::SetWindowTextW(window.hwnd(), L"Branch Details");
    StrWnd strWnd;
    ASSERT_TRUE(strWnd.mbInitStrWnd(window.hwnd(), L"MessageBoxTest", false, L"", L"", L""));
    MessageBoxAnswer::s_owner = window.hwnd();
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, MessageBoxAnswer::Hook, nullptr, ::GetCurrentThreadId());
    strWnd.mvMsgBox(L"%s has %d files (%.1f%%)", L"Release 2", 3, 12.5);
    ::UnhookWindowsHookEx(hook);
    ASSERT_NE(MessageBoxAnswer::s_texts, nullptr) << "no message box appeared";
    const std::unique_ptr<std::wstring> texts(MessageBoxAnswer::s_texts);
    EXPECT_EQ(texts->rfind(L"owned|Branch Details|", 0), 0u) << *texts;
    EXPECT_NE(texts->find(L"|Release 2 has 3 files (12.5%)"), std::wstring::npos) << *texts;

    std::wstring text = L"unchanged";
    EXPECT_FALSE(strWnd.mbGetHelpString(IDC_HELP_BUTTON, text) || strWnd.mbPermitToolTip(1, text));
    EXPECT_EQ(text, L"unchanged");
}

TEST(TxtresStrWnd, AnUninitialisedStrWndDoesNothing) {
    StrWnd strWnd;
    strWnd.mvFixCtrl(1, StrWndAnchor::Stretch);
    strWnd.mvUpdateFixedCtrls();
    strWnd.mvFlushWindowSize(true);
    strWnd.mvFlushWindowSize(false);
    strWnd.mvFlushColumnSizes(1, true, 3, L"FileCols");
    EXPECT_TRUE(strWnd.moGetCtrlPos(1).IsRectNull());
    EXPECT_FALSE(strWnd.mbRemoveRectToolTip(nullptr, 1));
    strWnd.mvDeInitialize();
}

}  // namespace
