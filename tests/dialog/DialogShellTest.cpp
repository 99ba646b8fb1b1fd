#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include <filesystem>
#include <fstream>
#include "../glyphset/GlyphsetTestSupport.h"
#include "BranchDialog.h"
#include "ChildProcess.h"
#include "HostInstallation.h"
#include "contracts/ZebSettings.h"

using namespace lineage_test;

namespace {

// The window icons and the toolbar's pictures come through the host's registered installation.
[[maybe_unused]] ::testing::Environment* const g_installation =
    ::testing::AddGlobalTestEnvironment(new HostInstallation);

SIZE SizeOf(const RECT& r) { return SIZE{r.right - r.left, r.bottom - r.top}; }

void Resize(HWND dialog, SIZE size) {
    ::SetWindowPos(dialog, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
}

void ExpectGripInCorner(HWND dialog, int width, int height) {
    RECT client{};
    ::GetClientRect(dialog, &client);
    const RECT grip = ChildRect(::GetDlgItem(dialog, IDC_SIZE_GRIP));
    const RECT corner{client.right - width, client.bottom - height, client.right, client.bottom};
    EXPECT_TRUE(::EqualRect(&grip, &corner));
}

TEST(DialogShell, ControlsColumnsIconsAnchorsGripAndOwner) {
    HWND host = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr,
                                  nullptr, nullptr);
    TestVault vault{L"Engineering", L"C:\\vault\\"};
    ForgetWindowState();
    {
        DialogSession session({0, 0, nullptr, &vault, host});
        HWND dialog = session.WaitForDialog();
        ASSERT_TRUE(dialog);
        EXPECT_EQ(::GetWindow(dialog, GW_OWNER), host);
        EXPECT_EQ(session.Caption(), L"Dialog");
        EXPECT_EQ(vault.reads, 2) << "the vault's name and root are read once each";
        // The Light theme's gripper is 16 x 16 and the grip one pixel wider.
        ExpectGripInCorner(dialog, 17, 16);
        // Class, text, visible and enabled, and how its left, top, right and bottom follow the growth.
        const std::pair<int, std::wstring> controls[] = {
            {IDC_CREATED_BY_LABEL, L"Static|Created By:|11|0000"}, {IDC_CREATED_BY, L"Edit||10|0000"},
            {IDC_CREATED_ON_LABEL, L"Static|Created On:|11|0000"}, {IDC_CREATED_ON, L"Edit||10|0000"},
            {IDC_FILE_LIST, L"SysListView32||11|0011"},            {IDC_HELP_BUTTON, L"Button|Help|11|1111"},
            {IDC_CLOSE, L"Button|Close|11|1111"},                  {IDC_TOOLBAR_MARKER, L"Static|Static|00|1010"},
            {IDC_SIZE_GRIP, L"Static||11|1111"}};
        std::vector<RECT> before;
        for (const auto& [id, expected] : controls)
            before.push_back(ChildRect(session.Item(id)));
        const SIZE templateSize = SizeOf(WindowRect(dialog));
        Resize(dialog, {templateSize.cx + 120, templateSize.cy + 120});
        session.Sync();
        for (size_t i = 0; i < std::size(controls); ++i) {
            HWND item = session.Item(controls[i].first);
            wchar_t cls[64] = {};
            ::GetClassNameW(item, cls, 64);
            const RECT after = ChildRect(item);
            std::wstring seen = std::wstring(cls) + L"|" + WindowText(item) + L"|";
            seen += std::to_wstring(::IsWindowVisible(item)) + std::to_wstring(::IsWindowEnabled(item)) + L"|";
            for (LONG moved : {after.left - before[i].left, after.top - before[i].top, after.right - before[i].right,
                               after.bottom - before[i].bottom})
                seen += moved == 0 ? L"0" : moved == 120 ? L"1" : L"?";
            EXPECT_EQ(seen, controls[i].second);
        }
        Resize(dialog, {templateSize.cx + 10, templateSize.cy + 90});  // shrinking too
        session.Sync();
        ExpectGripInCorner(dialog, 17, 16);
        HWND grip = session.Item(IDC_SIZE_GRIP);
        EXPECT_TRUE(::GetWindowLongPtrW(grip, GWL_STYLE) & WS_CLIPSIBLINGS);
        const RECT r = WindowRect(grip);
        for (const POINT p : {POINT{r.left, r.top}, POINT{r.right - 1, r.top}, POINT{r.left, r.bottom - 1},
                              POINT{r.right - 1, r.bottom - 1}, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}})
            EXPECT_EQ(::SendMessageW(grip, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTBOTTOMRIGHT);
        MINMAXINFO info{};
        ::SendMessageW(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(std::pair(info.ptMinTrackSize.x, info.ptMinTrackSize.y), std::pair(templateSize.cx, templateSize.cy));
        SIZE ideal{};
        EXPECT_TRUE(::SendMessageW(session.Item(IDC_CLOSE), BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)))
            << "buttons are not common controls 6";
        HWND list = session.Item(IDC_FILE_LIST);
        EXPECT_EQ(::GetWindowLongPtrW(list, GWL_STYLE) & (LVS_TYPEMASK | LVS_OWNERDATA), LVS_REPORT | LVS_OWNERDATA);
        const auto exStyle = DWORD(::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        EXPECT_EQ(exStyle & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT), DWORD(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
        std::wstring columns;
        for (const ListColumn& column : ReadColumns(list))
            columns += column.heading + L":" + std::to_wstring(column.width) + L" ";
        EXPECT_EQ(columns, L"Type:40 Source File:300 Branch File:300 ");
        EXPECT_EQ(ItemCount(list), 0);
        for (auto [kind, edge] : {std::pair{ICON_SMALL, 16}, std::pair{ICON_BIG, 32}}) {
            ICONINFO icon{};
            ASSERT_TRUE(::GetIconInfo(reinterpret_cast<HICON>(::SendMessageW(dialog, WM_GETICON, kind, 0)), &icon));
            ScopedHBITMAP colour(icon.hbmColor), mask(icon.hbmMask);
            BITMAP bitmap{};
            ::GetObjectW(colour.get(), sizeof(bitmap), &bitmap);
            EXPECT_EQ(bitmap.bmWidth, edge) << kind;
        }
    }
    ::DestroyWindow(host);
}

// Without a vault or a parent, call after call: the host's module has no template of its own.
TEST(DialogShell, SizesAreRememberedByCloseTitleBarAndEnterButNotEscape) {
    ASSERT_EQ(::FindResourceW(nullptr, MAKEINTRESOURCEW(IDD_BRANCH_DETAILS), RT_DIALOG), nullptr);
    for (UINT by : {UINT(IDC_CLOSE), UINT(WM_SYSCOMMAND), UINT(VK_RETURN), UINT(VK_ESCAPE)}) {
        SCOPED_TRACE(by);
        SIZE templateSize{}, chosen{};
        ForgetWindowState();
        {
            DialogSession session({});
            HWND dialog = session.WaitForDialog();
            ASSERT_TRUE(dialog);
            templateSize = SizeOf(WindowRect(dialog));
            chosen = SIZE{templateSize.cx + 57, templateSize.cy + 33};
            Resize(dialog, chosen);
            ::SendMessageW(session.Item(IDC_FILE_LIST), LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(123, 0));
            if (by == IDC_CLOSE)
                session.PressClose();
            else if (by == WM_SYSCOMMAND)
                ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            else
                session.PressKey(by);
            ASSERT_TRUE(session.WaitForReturn()) << "the dialog did not close";
        }
        DialogSession session({});
        HWND dialog = session.WaitForDialog();
        ASSERT_TRUE(dialog);
        const SIZE size = SizeOf(WindowRect(dialog)), expected = by == VK_ESCAPE ? templateSize : chosen;
        EXPECT_EQ(std::pair(size.cx, size.cy), std::pair(expected.cx, expected.cy));
        EXPECT_EQ(ReadColumns(session.Item(IDC_FILE_LIST)).at(1).width, by == VK_ESCAPE ? 300 : 123);
        EXPECT_EQ(RememberedWidth(L"FileCols", L"Col1"), by == VK_ESCAPE ? 0u : 123u);
    }
    ForgetWindowState();
}

// The themes, the strings file and the window icons are read once per process: these run in child processes.
// Until the toolbar is drawn its buttons sit at the strip's left end: a move there must light nothing up.
TEST(DialogShell, MouseMovesBeforeTheFirstPaintDoNotReachTheToolbar) {
    ForgetWindowState();
    DialogSession::atInit = [](HWND dialog) {
        const RECT marker = ChildRect(::GetDlgItem(dialog, IDC_TOOLBAR_MARKER));
        ::PostMessageW(dialog, WM_MOUSEMOVE, 0, MAKELPARAM(15, marker.top + 9));
    };
    DialogSession session({});
    HWND dialog = session.WaitForDialog();
    DialogSession::atInit = nullptr;
    ASSERT_TRUE(dialog);
    for (int round = 0; round < 100 && !::IsWindowVisible(dialog); ++round)  // shown once its queue runs dry
        session.Sync();
    const RECT marker = ChildRect(session.Item(IDC_TOOLBAR_MARKER));
    POINT client{};  // the capture is of the whole window
    ::ClientToScreen(dialog, &client);
    const RECT window = WindowRect(dialog);
    const auto strip = [&] {
        const Capture shot = CaptureWindow(dialog);
        std::vector<uint32_t> pixels;
        for (int y = marker.top - 5; y < marker.bottom; ++y)
            for (int x = marker.left; x < marker.right; ++x)
                pixels.push_back(shot.At(x + client.x - window.left, y + client.y - window.top));
        return pixels;
    };
    ASSERT_TRUE(session.WaitForPaint(dialog, false));
    const std::vector<uint32_t> first = strip();
    ::PostMessageW(dialog, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    ASSERT_TRUE(session.WaitForPaint(dialog));
    EXPECT_EQ(first, strip()) << "the first paint showed a button under the mouse";
}

TEST(DialogShell, WithoutThemesOrIconLibraryTheDialogDrawsItsGripDotsAndTakesItsTexts) {
    // SetSysColors would do for the colour, but Wine keeps it for every later process of the prefix.
    const UserSetting themesOff =
        UserSetting::Text(L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", L"ThemeActive", L"0");
    const UserSetting blueGrey = UserSetting::Text(L"Control Panel\\Colors", L"ButtonShadow", L"172 168 153");
    glyphset_test::LocationValue location(std::filesystem::temp_directory_path().c_str());
    const std::wstring strings = ExecutableFolder() + L"lineage-dialog-de.strings";
    std::ofstream(std::filesystem::path(strings), std::ios::binary)
        << "[BranchDetailsDlg TS]\n1=Zugeh\xC3\xB6rige Zweige: \n2=Erstellt von:\n3=Erstellt am:\n4=Typ\n"
           "5=Quelldatei\n6=Zweigdatei\n7=Hilfe\n8=Schlie\xC3\x9F" "en\n14=Geteilt\n15=Ja\n";
    ::SetEnvironmentVariableW(L"TXTRES_STRINGS", strings.c_str());
    EXPECT_TRUE(RunTestInChild("DialogShell.DISABLED_GripDotsInTheSystemShadow", {themesOff}));
    EXPECT_TRUE(RunTestInChild("DialogShell.DISABLED_GripDotsInALighterBlueGrey", {themesOff, blueGrey}));
    ::SetEnvironmentVariableW(L"TXTRES_STRINGS", nullptr);
    ::DeleteFileW(strings.c_str());
}

uint32_t Rgb(COLORREF colour) { return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour); }

// Six dots at the bottom right, each a 2 x 2 shadow square with a highlight edge below and to its right.
void ExpectDotsOnEveryPaint(uint32_t shadow) {
    ASSERT_TRUE(IsTestChild());
    ForgetWindowState();
    BranchDialog branch({8, L"Customer A", L"bj\u00f6rn", 0, {BranchFile(1, 11, L"a.txt", L"", L"", true)}});
    DialogSession& session = *branch;
    HWND dialog = session.Dialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(session.Caption(), L"Zugeh\u00f6rige Zweige: Customer A");
    for (WPARAM kind : {ICON_SMALL, ICON_BIG})
        EXPECT_FALSE(::SendMessageW(dialog, WM_GETICON, kind, 0)) << "the icon library is not installed";
    std::wstring texts;
    for (int id : {IDC_CREATED_BY_LABEL, IDC_CREATED_ON_LABEL, IDC_HELP_BUTTON, IDC_CLOSE})
        texts += session.Text(id) + L"|";
    for (const ListColumn& column : ReadColumns(branch.List()))
        texts += column.heading + L"|";
    EXPECT_EQ(texts + CellText(branch.List(), 0, 3),
              L"Erstellt von:|Erstellt am:|Hilfe|Schlie\u00dfen|Typ|Quelldatei|Zweigdatei|Geteilt|Ja");
    ExpectGripInCorner(dialog, 14, 14);
    for (int round = 0; round < 100 && !::IsWindowVisible(dialog); ++round)  // shown once its queue runs dry
        session.Sync();
    ASSERT_TRUE(session.WaitForPaint(dialog, false));  // a paint of the dialog, still due, would cover the grip
    const uint32_t highlight = Rgb(::GetSysColor(COLOR_BTNHIGHLIGHT));
    for (int paint = 0; paint < 2; ++paint) {
        ASSERT_TRUE(session.WaitForPaint(session.Item(IDC_SIZE_GRIP)));
        const Capture grip = CaptureWindow(session.Item(IDC_SIZE_GRIP));
        for (const POINT dot : {POINT{5, 13}, POINT{5, 9}, POINT{9, 9}, POINT{5, 5}, POINT{9, 5}, POINT{13, 5}}) {
            const int x = grip.width - dot.x, y = grip.height - dot.y;
            SCOPED_TRACE(testing::Message() << "dot at " << x << "," << y);
            for (const POINT s : {POINT{0, 0}, POINT{1, 0}, POINT{0, 1}, POINT{1, 1}})
                EXPECT_EQ(grip.At(x + s.x, y + s.y), shadow);
            for (const POINT h : {POINT{1, 2}, POINT{2, 1}, POINT{2, 2}})
                EXPECT_EQ(grip.At(x + h.x, y + h.y), highlight);
            EXPECT_NE(grip.At(x + 2, y), shadow);
        }
    }
}

TEST(DialogShell, DISABLED_GripDotsInTheSystemShadow) { ExpectDotsOnEveryPaint(Rgb(::GetSysColor(COLOR_BTNSHADOW))); }

TEST(DialogShell, DISABLED_GripDotsInALighterBlueGrey) {
    ASSERT_EQ(::GetSysColor(COLOR_BTNSHADOW), COLORREF{0x99A8AC});
    ExpectDotsOnEveryPaint(0xB8B5A1);
}

TEST(Module, ExportsTheDpiHelperAndHoldsItsManifest) {
    const CDPIHelper* helper = CDPIHelper::get();
    HMODULE module = LineageModule();
    for (const auto& [name, expected] : {std::pair{"_ZNK10CDPIHelper9getDPI_OSEv", 96},
                                         {"_ZNK10CDPIHelper12getSystemDPIEv", 96},
                                         {"_ZNK10CDPIHelper22getToolbarButtonSizeBFEv", 24},
                                         {"_ZNK10CDPIHelper23getToolbarButtonSizeExpEv", 24}}) {
        auto fn = reinterpret_cast<int (*)(const CDPIHelper*)>(::GetProcAddress(module, name));
        ASSERT_NE(fn, nullptr) << name;
        EXPECT_EQ(fn(helper), expected) << name;
    }
    auto assign = reinterpret_cast<void* (*)(void*, const CDPIHelper*)>(
        ::GetProcAddress(module, "_ZN10CDPIHelperaSERKS_"));
    ASSERT_NE(assign, nullptr);
    int copy[9];
    std::memset(copy, 0xCD, sizeof(copy));
    EXPECT_EQ(assign(copy, helper), copy);
    EXPECT_EQ(std::memcmp(copy, helper, sizeof(copy)), 0) << "all nine values are copied";
    HRSRC manifest = ::FindResourceW(module, MAKEINTRESOURCEW(2), RT_MANIFEST);
    ASSERT_TRUE(manifest);
    const std::string xml(static_cast<const char*>(::LockResource(::LoadResource(module, manifest))),
                          ::SizeofResource(module, manifest));
    for (const char* part : {"level=\"asInvoker\" uiAccess=\"false\"", ">true</dpiAware>",
                             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""})
        EXPECT_NE(xml.find(part), std::string::npos) << part;
}

} // namespace
