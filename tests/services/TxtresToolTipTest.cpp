// Rectangle tooltips, the message box and the inert virtual members of StrWnd.
#include "ServicesTestSupport.h"

#include <vector>

#include "contracts/Txtres.h"

namespace {

using services_test::PumpUntil;
using services_test::TestWindow;

// The tooltip windows of this thread that `owner` owns.
std::vector<HWND> ToolTipsOwnedBy(HWND owner) {
    struct Search {
        HWND owner;
        std::vector<HWND> found;
    } search{owner, {}};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND wnd, LPARAM arg) -> BOOL {
            auto* s = reinterpret_cast<Search*>(arg);
            wchar_t name[64] = {};
            ::GetClassNameW(wnd, name, 64);
            if (_wcsicmp(name, TOOLTIPS_CLASSW) == 0 && ::GetWindow(wnd, GW_OWNER) == s->owner)
                s->found.push_back(wnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class TxtresToolTips : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_window.hwnd());
        ASSERT_TRUE(m_strWnd->mbInitStrWnd(m_window.hwnd(), L"ToolTipTest", false, L"", L"", L""));
    }

    bool Add(unsigned id, CRect rect, const wchar_t* text) {
        return m_strWnd->mbAddToolTip(m_window.hwnd(), id, rect, text);
    }
    HWND ToolTip() const {
        const std::vector<HWND> tips = ToolTipsOwnedBy(m_window.hwnd());
        EXPECT_LE(tips.size(), 1u) << "one tooltip control per StrWnd";
        return tips.empty() ? nullptr : tips.front();
    }
    int ToolCount() const {
        HWND tip = ToolTip();
        return tip ? static_cast<int>(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0)) : 0;
    }
    TTTOOLINFOW Tool(unsigned id) const {
        TTTOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.hwnd = m_window.hwnd();
        info.uId = id;
        if (!::SendMessageW(ToolTip(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info))) info.cbSize = 0;
        return info;
    }
    // The text the tooltip shows for a tool; it asks the window for it as when it pops up.
    std::wstring ShownText(unsigned id) const {
        std::wstring buffer(1024, L'\0');
        TTTOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.hwnd = m_window.hwnd();
        info.uId = id;
        info.lpszText = buffer.data();
        ::SendMessageW(ToolTip(), TTM_GETTEXTW, buffer.size(), reinterpret_cast<LPARAM>(&info));
        return buffer.c_str();
    }
    // Shows the tip of a tool at a fixed place and measures it.
    CSize ShownSize(unsigned id) const {
        HWND tip = ToolTip();
        TTTOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.hwnd = m_window.hwnd();
        info.uId = id;
        ::SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(100, 100));
        ::SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
        CRect rect;
        ::GetWindowRect(tip, &rect);
        const bool visible = ::IsWindowVisible(tip);
        ::SendMessageW(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
        return visible ? rect.Size() : CSize();
    }

    TestWindow m_window{400, 300};
    std::unique_ptr<StrWnd> m_strWnd = std::make_unique<StrWnd>();
};

TEST_F(TxtresToolTips, TheTooltipWindowIsMadeWithTheFirstTool) {
    EXPECT_EQ(ToolTip(), nullptr);
    ASSERT_TRUE(Add(1, CRect(10, 10, 60, 40), L"Plain tip"));
    ASSERT_NE(ToolTip(), nullptr);
    EXPECT_EQ(ToolCount(), 1);
    ASSERT_TRUE(Add(2, CRect(70, 10, 120, 40), L"Another tip"));
    EXPECT_EQ(ToolCount(), 2);
}

TEST_F(TxtresToolTips, AToolCoversItsRectangleAndTheToolTipWatchesTheMouseItself) {
    ASSERT_TRUE(Add(7, CRect(10, 20, 60, 40), L"Plain tip"));
    const TTTOOLINFOW info = Tool(7);
    ASSERT_NE(info.cbSize, 0u);
    EXPECT_EQ(CRect(info.rect), CRect(10, 20, 60, 40));
    EXPECT_TRUE(info.uFlags & TTF_SUBCLASS);
}

TEST_F(TxtresToolTips, AddingTheSameIdAgainReplacesTheTool) {
    ASSERT_TRUE(Add(1, CRect(10, 10, 60, 40), L"old"));
    ASSERT_TRUE(Add(2, CRect(70, 10, 120, 40), L"other"));
    ASSERT_TRUE(Add(1, CRect(15, 12, 65, 42), L"new"));
    EXPECT_EQ(ToolCount(), 2);
    EXPECT_EQ(CRect(Tool(1).rect), CRect(15, 12, 65, 42));
    EXPECT_EQ(ShownText(1), L"new");
}

TEST_F(TxtresToolTips, RemovingAToolLeavesTheOthers) {
    ASSERT_TRUE(Add(1, CRect(10, 10, 60, 40), L"one"));
    ASSERT_TRUE(Add(2, CRect(70, 10, 120, 40), L"two"));
    EXPECT_TRUE(m_strWnd->mbRemoveRectToolTip(m_window.hwnd(), 1));
    EXPECT_EQ(ToolCount(), 1);
    EXPECT_EQ(Tool(1).cbSize, 0u);
    EXPECT_EQ(ShownText(2), L"two");
    EXPECT_FALSE(m_strWnd->mbRemoveRectToolTip(m_window.hwnd(), 1)) << "already gone";
    EXPECT_FALSE(m_strWnd->mbRemoveRectToolTip(m_window.hwnd(), 99)) << "never added";
}

TEST_F(TxtresToolTips, ATitledTextShowsItsDescriptionUnderABoldTitle) {
    ASSERT_TRUE(Add(1, CRect(10, 10, 60, 40), L"\u00A4Open as CSV\nOpens a CSV file with the exported Files list."));
    ASSERT_TRUE(Add(2, CRect(70, 10, 120, 40), L"Opens a CSV file with the exported Files list."));
    EXPECT_EQ(ShownText(1), L"Opens a CSV file with the exported Files list.");
    const CSize titled = ShownSize(1);
    const CSize plain = ShownSize(2);
    ASSERT_NE(plain, CSize()) << "the tip did not show";
    EXPECT_GT(titled.cy, plain.cy) << "the title adds a line above the description";
    EXPECT_EQ(ShownSize(2), plain) << "a plain tip after a titled one has no title left over";
}

TEST_F(TxtresToolTips, TitleMarksWithoutADescriptionShowPlainText) {
    ASSERT_TRUE(Add(1, CRect(10, 10, 60, 40), L"\u00A4Only a title"));
    ASSERT_TRUE(Add(2, CRect(70, 10, 120, 40), L"\u00A4\nOnly a description"));
    ASSERT_TRUE(Add(3, CRect(130, 10, 180, 40), L"Only a title"));
    EXPECT_EQ(ShownText(1), L"Only a title");
    EXPECT_EQ(ShownText(2), L"Only a description");
    EXPECT_EQ(ShownSize(1), ShownSize(3));
}

TEST_F(TxtresToolTips, ToolsOnAnotherWindowUseTheSameTooltip) {
    HWND child = m_window.AddChild(L"STATIC", 300, CRect(0, 100, 200, 200));
    ASSERT_TRUE(Add(1, CRect(10, 10, 60, 40), L"on the dialog"));
    CRect rect(5, 5, 50, 50);
    ASSERT_TRUE(m_strWnd->mbAddToolTip(child, 1, rect, L"on the child"));
    EXPECT_EQ(ToolCount(), 2);
    EXPECT_TRUE(m_strWnd->mbRemoveRectToolTip(child, 1));
    EXPECT_EQ(ToolCount(), 1);
}

TEST_F(TxtresToolTips, BadArgumentsAddNothing) {
    CRect rect(0, 0, 10, 10);
    EXPECT_FALSE(m_strWnd->mbAddToolTip(nullptr, 1, rect, L"text"));
    EXPECT_FALSE(m_strWnd->mbAddToolTip(m_window.hwnd(), 1, rect, nullptr));
    EXPECT_EQ(ToolTip(), nullptr);
}

TEST_F(TxtresToolTips, DeInitializeDestroysTheTooltipAndALaterToolMakesANewOne) {
    ASSERT_TRUE(Add(1, CRect(10, 10, 60, 40), L"one"));
    HWND first = ToolTip();
    m_strWnd->mvDeInitialize();
    EXPECT_FALSE(::IsWindow(first));
    EXPECT_FALSE(m_strWnd->mbRemoveRectToolTip(m_window.hwnd(), 1));
    ASSERT_TRUE(Add(2, CRect(10, 10, 60, 40), L"two"));
    EXPECT_EQ(ToolCount(), 1);
    EXPECT_EQ(ShownText(2), L"two");
}

TEST_F(TxtresToolTips, DestroyingTheStrWndDestroysTheTooltipAndReleasesTheWindow) {
    ASSERT_TRUE(Add(1, CRect(10, 10, 60, 40), L"\u00A4Title\nText"));
    HWND tip = ToolTip();
    m_strWnd.reset();
    EXPECT_FALSE(::IsWindow(tip));
    // The window no longer calls into the destroyed object.
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = tip;
    info.hdr.idFrom = 1;
    info.hdr.code = TTN_GETDISPINFOW;
    ::SendMessageW(m_window.hwnd(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&info));
    ::SendMessageW(m_window.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    EXPECT_TRUE(::IsWindow(m_window.hwnd()));
}

TEST_F(TxtresToolTips, ClosingTheWindowFirstIsHarmless) {
    ASSERT_TRUE(Add(1, CRect(10, 10, 60, 40), L"one"));
    HWND tip = ToolTip();
    ::DestroyWindow(m_window.hwnd());
    EXPECT_FALSE(::IsWindow(tip)) << "the tooltip goes with its owner";
    EXPECT_FALSE(m_strWnd->mbRemoveRectToolTip(m_window.hwnd(), 1));
    m_strWnd.reset();
}

TEST_F(TxtresToolTips, TheTipAppearsWhenTheMouseRestsOnTheTool) {
    ASSERT_TRUE(Add(1, CRect(10, 10, 60, 40), L"\u00A4Save as CSV\nSaves a CSV file."));
    HWND tip = ToolTip();
    ::SendMessageW(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 1);
    // On top, so that the point under the cursor is this window's even with other test
    // programs showing windows on the same desktop.
    ::SetWindowPos(m_window.hwnd(), HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    POINT point{30, 25};
    ::ClientToScreen(m_window.hwnd(), &point);
    ::SetCursorPos(point.x, point.y);
    ::SendMessageW(m_window.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 25));  // what TTF_SUBCLASS relays
    ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(tip) != FALSE; }));
    wchar_t shown[128] = {};
    ::GetWindowTextW(tip, shown, 128);
    EXPECT_STREQ(shown, L"Saves a CSV file.");
}

// Watches the dialogs this thread creates: each one's texts are read once it is initialised,
// then it is answered with OK.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer() {
        s_current = this;
        m_hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, Hook, nullptr, ::GetCurrentThreadId());
    }
    ~MessageBoxAnswerer() {
        if (m_hook) ::UnhookWindowsHookEx(m_hook);
        s_current = nullptr;
    }
    bool hooked() const { return m_hook != nullptr; }

    HWND box = nullptr;
    HWND owner = nullptr;
    std::wstring caption;
    std::wstring texts;  // every child's text followed by '|'

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) noexcept {
        const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (code == HC_ACTION && s_current && !s_current->box && call->message == WM_INITDIALOG)
            s_current->Answer(call->hwnd);
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    void Answer(HWND dialog) {
        box = dialog;
        owner = ::GetWindow(dialog, GW_OWNER);
        wchar_t text[256] = {};
        ::GetWindowTextW(dialog, text, 256);
        caption = text;
        ::EnumChildWindows(
            dialog,
            [](HWND child, LPARAM arg) -> BOOL {
                wchar_t childText[256] = {};
                ::GetWindowTextW(child, childText, 256);
                *reinterpret_cast<std::wstring*>(arg) += std::wstring(childText) + L"|";
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&texts));
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }

    static inline MessageBoxAnswerer* s_current = nullptr;
    HHOOK m_hook = nullptr;
};

TEST(TxtresMessageBox, ShowsTheFormattedTextOwnedByTheWindow) {
    TestWindow window(300, 200);
    ::SetWindowTextW(window.hwnd(), L"Branch Details");
    StrWnd strWnd;
    ASSERT_TRUE(strWnd.mbInitStrWnd(window.hwnd(), L"MessageBoxTest", false, L"", L"", L""));
    MessageBoxAnswerer answerer;
    ASSERT_TRUE(answerer.hooked());
    strWnd.mvMsgBox(L"%s has %d files (%.1f%%)", L"Release 2", 3, 12.5);
    ASSERT_NE(answerer.box, nullptr) << "no message box appeared";
    EXPECT_EQ(answerer.owner, window.hwnd());
    EXPECT_EQ(answerer.caption, L"Branch Details");
    EXPECT_NE(answerer.texts.find(L"|Release 2 has 3 files (12.5%)|"), std::wstring::npos) << answerer.texts;
}

TEST(TxtresStrWnd, HelpStringsAndToolTipPermissionsAreNotOffered) {
    StrWnd strWnd;
    std::wstring text = L"unchanged";
    EXPECT_FALSE(strWnd.mbGetHelpString(57671, text));
    EXPECT_FALSE(strWnd.mbPermitToolTip(1, text));
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
