// The dialog's shell as a user meets it: its controls and texts, its list's columns, how it
// follows resizing and what it remembers between calls.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "DialogSession.h"
#include "TestVault.h"

using namespace lineage_test;

namespace {

constexpr wchar_t kWindowStateKey[] =
    L"Software\\Brightfold\\Applications\\Ledgerix Enterprise\\Window State\\BranchDetails";

class DialogShell : public ::testing::Test {
protected:
    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kWindowStateKey);
        ASSERT_NE(ShowBranchDetailsEntry(), nullptr) << "Lineage.dll or its export is missing";
    }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kWindowStateKey); }

    DialogSession::Args Args() {
        DialogSession::Args args;
        args.vault = &vault;
        return args;
    }

    TestVault vault{L"Engineering", L"C:\\vault\\"};
};

std::wstring ClassOf(HWND wnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(wnd, name, 64);
    return name;
}

SIZE SizeOf(const RECT& r) { return SIZE{r.right - r.left, r.bottom - r.top}; }

TEST_F(DialogShell, ShowsTheTemplateControlsWithTheirDefaultTexts) {
    DialogSession session(Args());
    ASSERT_TRUE(session.WaitForDialog());

    struct Expected { int id; const wchar_t* cls; const wchar_t* text; bool visible; bool enabled; };
    const Expected controls[] = {
        {4005, L"Static", L"Created By:", true, true},
        {4002, L"Edit", L"", true, false},
        {4006, L"Static", L"Created On:", true, true},
        {4003, L"Edit", L"", true, false},
        {4004, L"SysListView32", L"", true, true},
        {57671, L"Button", L"Help", true, true},
        {4001, L"Button", L"Close", true, true},
        {4009, L"Static", L"Static", false, false},  // the toolbar takes its place
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.id);
        HWND item = session.Item(c.id);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(ClassOf(item), c.cls);
        EXPECT_EQ(WindowText(item), c.text);
        EXPECT_EQ(::IsWindowVisible(item) != FALSE, c.visible);
        EXPECT_EQ(::IsWindowEnabled(item) != FALSE, c.enabled);
    }
    EXPECT_EQ(session.Caption(), L"Dialog");
    DWORD listStyle = static_cast<DWORD>(::GetWindowLongPtrW(session.Item(4004), GWL_STYLE));
    EXPECT_EQ(listStyle & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
    EXPECT_TRUE(listStyle & LVS_OWNERDATA);
}

TEST_F(DialogShell, ButtonsAreVersionSixCommonControls) {
    DialogSession session(Args());
    ASSERT_TRUE(session.WaitForDialog());
    SIZE ideal{};
    EXPECT_TRUE(::SendMessageW(session.Item(4001), BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
}

TEST_F(DialogShell, ListHasThreeColumnsGridLinesAndFullRowSelect) {
    DialogSession session(Args());
    ASSERT_TRUE(session.WaitForDialog());
    HWND list = session.Item(4004);
    auto columns = ReadColumns(list);
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[0].heading, L"Type");
    EXPECT_EQ(columns[0].width, 40);
    EXPECT_EQ(columns[1].heading, L"Source File");
    EXPECT_EQ(columns[1].width, 300);
    EXPECT_EQ(columns[2].heading, L"Branch File");
    EXPECT_EQ(columns[2].width, 300);
    EXPECT_EQ(ItemCount(list), 0);
    auto exStyle = static_cast<DWORD>(::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(exStyle & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT),
              static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
}

TEST_F(DialogShell, ControlsFollowTheirAnchorsWhenTheDialogGrows) {
    DialogSession session(Args());
    HWND dialog = session.WaitForDialog();
    ASSERT_TRUE(dialog);
    const int ids[] = {4005, 4002, 4006, 4003, 4004, 57671, 4001, 4009};
    RECT before[8];
    for (int i = 0; i < 8; ++i)
        before[i] = ChildRect(session.Item(ids[i]));

    const int dx = 120, dy = 80;
    SIZE size = SizeOf(WindowRect(dialog));
    ::SetWindowPos(dialog, nullptr, 0, 0, size.cx + dx, size.cy + dy, SWP_NOMOVE | SWP_NOZORDER);
    session.Sync();

    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(ids[i]);
        RECT after = ChildRect(session.Item(ids[i]));
        RECT expected = before[i];
        switch (ids[i]) {
        case 4004:  // stretches
            expected.right += dx;
            expected.bottom += dy;
            break;
        case 57671:
        case 4001:  // moves with the bottom-right corner
            OffsetRect(&expected, dx, dy);
            break;
        case 4009:  // stays top-right
            OffsetRect(&expected, dx, 0);
            break;
        default:    // stays top-left
            break;
        }
        EXPECT_EQ(after.left, expected.left);
        EXPECT_EQ(after.top, expected.top);
        EXPECT_EQ(after.right, expected.right);
        EXPECT_EQ(after.bottom, expected.bottom);
    }
}

TEST_F(DialogShell, CannotBeMadeSmallerThanItsTemplate) {
    SIZE templateSize{};
    {
        DialogSession session(Args());
        HWND dialog = session.WaitForDialog();
        ASSERT_TRUE(dialog);
        templateSize = SizeOf(WindowRect(dialog));
        // Remember a larger size: the minimum must still be the template's.
        ::SetWindowPos(dialog, nullptr, 0, 0, templateSize.cx + 200, templateSize.cy + 100,
                       SWP_NOMOVE | SWP_NOZORDER);
        session.PressClose();
        ASSERT_TRUE(session.WaitForReturn());
    }
    DialogSession session(Args());
    HWND dialog = session.WaitForDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(SizeOf(WindowRect(dialog)).cx, templateSize.cx + 200);
    MINMAXINFO info{};
    ::SendMessageW(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, templateSize.cx);
    EXPECT_EQ(info.ptMinTrackSize.y, templateSize.cy);
}

enum class CloseBy { CloseButton, TitleBar, Enter, Escape };

class RememberedSizes : public DialogShell, public ::testing::WithParamInterface<CloseBy> {};

TEST_P(RememberedSizes, AreStoredByCloseTitleBarAndEnterButNotEscape) {
    SIZE templateSize{};
    SIZE chosen{};
    const int chosenWidth = 123;
    {
        DialogSession session(Args());
        HWND dialog = session.WaitForDialog();
        ASSERT_TRUE(dialog);
        templateSize = SizeOf(WindowRect(dialog));
        // Larger than the template whatever size its fonts give it: the template is the minimum.
        chosen = SIZE{templateSize.cx + 57, templateSize.cy + 33};
        ::SetWindowPos(dialog, nullptr, 0, 0, chosen.cx, chosen.cy, SWP_NOMOVE | SWP_NOZORDER);
        ::SendMessageW(session.Item(4004), LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(chosenWidth, 0));
        switch (GetParam()) {
        case CloseBy::CloseButton: session.PressClose(); break;
        case CloseBy::TitleBar: session.CloseFromTitleBar(); break;
        case CloseBy::Enter: session.PressKey(VK_RETURN); break;
        case CloseBy::Escape: session.PressKey(VK_ESCAPE); break;
        }
        ASSERT_TRUE(session.WaitForReturn()) << "the dialog did not close";
    }

    DialogSession session(Args());
    HWND dialog = session.WaitForDialog();
    ASSERT_TRUE(dialog);
    SIZE size = SizeOf(WindowRect(dialog));
    auto columns = ReadColumns(session.Item(4004));
    ASSERT_EQ(columns.size(), 3u);
    if (GetParam() == CloseBy::Escape) {
        EXPECT_EQ(size.cx, templateSize.cx);
        EXPECT_EQ(size.cy, templateSize.cy);
        EXPECT_EQ(columns[1].width, 300);
    } else {
        EXPECT_EQ(size.cx, chosen.cx);
        EXPECT_EQ(size.cy, chosen.cy);
        EXPECT_EQ(columns[1].width, chosenWidth);
    }
}

std::string CloseByName(const ::testing::TestParamInfo<CloseBy>& info) {
    switch (info.param) {
    case CloseBy::CloseButton: return "CloseButton";
    case CloseBy::TitleBar: return "TitleBar";
    case CloseBy::Enter: return "Enter";
    case CloseBy::Escape: return "Escape";
    }
    return "Unknown";
}

INSTANTIATE_TEST_SUITE_P(EachWayOfClosing, RememberedSizes,
                         ::testing::Values(CloseBy::CloseButton, CloseBy::TitleBar, CloseBy::Enter, CloseBy::Escape),
                         CloseByName);

TEST_F(DialogShell, ReadsTheVaultOnceThroughEntriesTwelveAndThirty) {
    DialogSession session(Args());
    ASSERT_TRUE(session.WaitForDialog());
    EXPECT_EQ(vault.reads, 2);
}

TEST_F(DialogShell, RunsWithoutAVaultObjectOrParent) {
    DialogSession::Args args;
    DialogSession session(args);
    ASSERT_TRUE(session.WaitForDialog());
    session.PressClose();
    EXPECT_TRUE(session.WaitForReturn());
}

TEST_F(DialogShell, IsOwnedByTheHostWindowItIsGiven) {
    HWND host = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_TRUE(host);
    DialogSession::Args args = Args();
    args.parent = host;
    {
        DialogSession session(args);
        HWND dialog = session.WaitForDialog();
        ASSERT_TRUE(dialog);
        EXPECT_EQ(::GetWindow(dialog, GW_OWNER), host);
        session.PressClose();
        EXPECT_TRUE(session.WaitForReturn());
    }
    ::DestroyWindow(host);
}

} // namespace
