// The dialog's shell as a user and a host meet it: its controls and texts, its list's columns,
// how it follows resizing, what it remembers between calls, and what the module exports.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include "DialogSession.h"
#include "HostInstallation.h"
#include "TestVault.h"
#include "contracts/ZebSettings.h"
#include "module/resource.h"

using namespace lineage_test;

namespace {

// The window icons and the toolbar's pictures come through the host's registered installation.
[[maybe_unused]] ::testing::Environment* const g_installation =
    ::testing::AddGlobalTestEnvironment(new HostInstallation);

constexpr wchar_t kWindowState[] =
    L"Software\\Brightfold\\Applications\\Ledgerix Enterprise\\Window State\\BranchDetails";

class DialogShell : public ::testing::Test {
protected:
    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kWindowState);
        ASSERT_NE(ShowBranchDetailsEntry(), nullptr) << "Lineage.dll or its export is missing";
    }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kWindowState); }

    TestVault vault{L"Engineering", L"C:\\vault\\"};
    DialogSession::Args args{0, 0, nullptr, &vault};
};

SIZE SizeOf(const RECT& r) { return SIZE{r.right - r.left, r.bottom - r.top}; }

void Resize(HWND dialog, SIZE size) {
    ::SetWindowPos(dialog, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
}

TEST_F(DialogShell, ShowsTheTemplateControlsAndAnEmptyReportList) {
    DialogSession session(args);
    ASSERT_TRUE(session.WaitForDialog());
    struct Expected { int id; const wchar_t* cls; const wchar_t* text; bool visible; bool enabled; };
    const Expected controls[] = {
        {IDC_CREATED_BY_LABEL, L"Static", L"Created By:", true, true}, {IDC_CREATED_BY, L"Edit", L"", true, false},
        {IDC_CREATED_ON_LABEL, L"Static", L"Created On:", true, true}, {IDC_CREATED_ON, L"Edit", L"", true, false},
        {IDC_FILE_LIST, L"SysListView32", L"", true, true},           {IDC_HELP_BUTTON, L"Button", L"Help", true, true},
        {IDC_CLOSE, L"Button", L"Close", true, true},                 {IDC_TOOLBAR_MARKER, L"Static", L"Static", false, false},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.id);
        HWND item = session.Item(c.id);
        wchar_t cls[64] = {};
        ::GetClassNameW(item, cls, 64);
        EXPECT_STREQ(cls, c.cls);
        EXPECT_EQ(WindowText(item), c.text);
        EXPECT_EQ(::IsWindowVisible(item) != FALSE, c.visible);
        EXPECT_EQ(::IsWindowEnabled(item) != FALSE, c.enabled);
    }
    EXPECT_EQ(session.Caption(), L"Dialog");
    SIZE ideal{};
    EXPECT_TRUE(::SendMessageW(session.Item(IDC_CLOSE), BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)))
        << "buttons are not common controls 6";

    HWND list = session.Item(IDC_FILE_LIST);
    const auto style = DWORD(::GetWindowLongPtrW(list, GWL_STYLE));
    EXPECT_EQ(style & (LVS_TYPEMASK | LVS_OWNERDATA), DWORD(LVS_REPORT | LVS_OWNERDATA));
    const auto exStyle = DWORD(::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(exStyle & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT), DWORD(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
    const auto columns = ReadColumns(list);
    ASSERT_EQ(columns.size(), 3u);
    const ListColumn expected[] = {{L"Type", 40}, {L"Source File", 300}, {L"Branch File", 300}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(columns[i].heading, expected[i].heading);
        EXPECT_EQ(columns[i].width, expected[i].width);
    }
    EXPECT_EQ(ItemCount(list), 0);
    EXPECT_EQ(vault.reads, 2) << "the vault's name and root are read once each";
}

TEST_F(DialogShell, ControlsFollowTheirAnchorsAndTheTemplateIsTheMinimum) {
    DialogSession session(args);
    HWND dialog = session.WaitForDialog();
    ASSERT_TRUE(dialog);
    // How each control's left, top, right and bottom follow the growth.
    struct Anchor { int id; int left, top, right, bottom; } anchors[] = {
        {IDC_CREATED_BY_LABEL, 0, 0, 0, 0}, {IDC_CREATED_BY, 0, 0, 0, 0}, {IDC_CREATED_ON_LABEL, 0, 0, 0, 0},
        {IDC_CREATED_ON, 0, 0, 0, 0},       {IDC_FILE_LIST, 0, 0, 1, 1},  {IDC_HELP_BUTTON, 1, 1, 1, 1},
        {IDC_CLOSE, 1, 1, 1, 1},            {IDC_TOOLBAR_MARKER, 1, 0, 1, 0}};
    RECT before[8];
    for (int i = 0; i < 8; ++i)
        before[i] = ChildRect(session.Item(anchors[i].id));
    const SIZE templateSize = SizeOf(WindowRect(dialog));
    const int dx = 120, dy = 80;
    Resize(dialog, {templateSize.cx + dx, templateSize.cy + dy});
    session.Sync();
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(anchors[i].id);
        const RECT after = ChildRect(session.Item(anchors[i].id));
        EXPECT_EQ(after.left, before[i].left + anchors[i].left * dx);
        EXPECT_EQ(after.top, before[i].top + anchors[i].top * dy);
        EXPECT_EQ(after.right, before[i].right + anchors[i].right * dx);
        EXPECT_EQ(after.bottom, before[i].bottom + anchors[i].bottom * dy);
    }
    MINMAXINFO info{};
    ::SendMessageW(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, templateSize.cx);
    EXPECT_EQ(info.ptMinTrackSize.y, templateSize.cy);
}

TEST_F(DialogShell, SizesAreRememberedByCloseTitleBarAndEnterButNotEscape) {
    enum CloseBy { CloseButton, TitleBar, Enter, Escape };
    for (CloseBy by : {CloseButton, TitleBar, Enter, Escape}) {
        SCOPED_TRACE(by);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kWindowState);
        SIZE templateSize{}, chosen{};
        {
            DialogSession session(args);
            HWND dialog = session.WaitForDialog();
            ASSERT_TRUE(dialog);
            templateSize = SizeOf(WindowRect(dialog));
            chosen = SIZE{templateSize.cx + 57, templateSize.cy + 33};
            Resize(dialog, chosen);
            ::SendMessageW(session.Item(IDC_FILE_LIST), LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(123, 0));
            switch (by) {
            case CloseButton: session.PressClose(); break;
            case TitleBar: session.CloseFromTitleBar(); break;
            case Enter: session.PressKey(VK_RETURN); break;
            case Escape: session.PressKey(VK_ESCAPE); break;
            }
            ASSERT_TRUE(session.WaitForReturn()) << "the dialog did not close";
        }
        DialogSession session(args);
        HWND dialog = session.WaitForDialog();
        ASSERT_TRUE(dialog);
        const SIZE size = SizeOf(WindowRect(dialog));
        const SIZE expected = by == Escape ? templateSize : chosen;
        EXPECT_EQ(size.cx, expected.cx);
        EXPECT_EQ(size.cy, expected.cy);
        const auto columns = ReadColumns(session.Item(IDC_FILE_LIST));
        ASSERT_EQ(columns.size(), 3u);
        EXPECT_EQ(columns[1].width, by == Escape ? 300 : 123);
        DWORD width = 0, bytes = sizeof(width);
        ::RegGetValueW(HKEY_CURRENT_USER, (std::wstring(kWindowState) + L"\\FileCols").c_str(), L"Col1",
                          RRF_RT_REG_DWORD, nullptr, &width, &bytes);
        EXPECT_EQ(width, by == Escape ? 0u : 123u) << "widths of a plain branch are kept under FileCols";
    }
}

TEST_F(DialogShell, RunsWithoutAVaultOrParentAndIsOwnedByTheHostWindowItIsGiven) {
    // The host's own module has no template 4000: every call finds the module's own.
    ASSERT_EQ(::FindResourceW(nullptr, MAKEINTRESOURCEW(IDD_BRANCH_DETAILS), RT_DIALOG), nullptr);
    for (int call = 0; call < 2; ++call) {
        DialogSession session({});
        ASSERT_TRUE(session.WaitForDialog()) << "call " << call;
        session.PressClose();
        EXPECT_TRUE(session.WaitForReturn());
    }
    HWND host = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr,
                                  nullptr, nullptr);
    args.parent = host;
    {
        DialogSession session(args);
        HWND dialog = session.WaitForDialog();
        ASSERT_TRUE(dialog);
        EXPECT_EQ(::GetWindow(dialog, GW_OWNER), host);
    }
    ::DestroyWindow(host);
}

TEST(ModuleExports, DpiHelperAccessorsAndAssignment) {
    const CDPIHelper* helper = CDPIHelper::get();
    ASSERT_NE(helper, nullptr);
    EXPECT_EQ(helper->getDPI_OS(), 96) << "Wine's screen";
    EXPECT_EQ(helper->getToolbarButtonSizeBF(), 24);
    struct { const char* name; int expected; } getters[] = {
        {"_ZNK10CDPIHelper9getDPI_OSEv", helper->getDPI_OS()},
        {"_ZNK10CDPIHelper12getSystemDPIEv", helper->getDPI_OS()},
        {"_ZNK10CDPIHelper22getToolbarButtonSizeBFEv", helper->getToolbarButtonSizeBF()},
        {"_ZNK10CDPIHelper23getToolbarButtonSizeExpEv", helper->getToolbarButtonSizeExp()},
    };
    for (const auto& g : getters) {
        SCOPED_TRACE(g.name);
        auto fn = reinterpret_cast<int (*)(const CDPIHelper*)>(::GetProcAddress(LineageModule(), g.name));
        ASSERT_NE(fn, nullptr);
        EXPECT_EQ(fn(helper), g.expected);
    }
    auto assign = reinterpret_cast<void* (*)(void*, const CDPIHelper*)>(
        ::GetProcAddress(LineageModule(), "_ZN10CDPIHelperaSERKS_"));
    ASSERT_NE(assign, nullptr);
    int copy[9];
    std::memset(copy, 0xCD, sizeof(copy));
    EXPECT_EQ(assign(copy, helper), copy);
    EXPECT_EQ(std::memcmp(copy, helper, sizeof(copy)), 0) << "all nine values are copied";
}

TEST(ModuleResources, HoldTheManifestForCommonControlsSixAndAVersionBlock) {
    HMODULE module = LineageModule();
    HRSRC manifest = ::FindResourceW(module, MAKEINTRESOURCEW(2), RT_MANIFEST);
    ASSERT_TRUE(manifest);
    const std::string xml(static_cast<const char*>(::LockResource(::LoadResource(module, manifest))),
                          ::SizeofResource(module, manifest));
    EXPECT_NE(xml.find("level=\"asInvoker\" uiAccess=\"false\""), std::string::npos);
    EXPECT_NE(xml.find(">true</dpiAware>"), std::string::npos);
    EXPECT_NE(xml.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);

    const std::wstring path = ExecutableFolder() + L"Lineage.dll";
    DWORD ignored = 0;
    std::vector<char> version(::GetFileVersionInfoSizeW(path.c_str(), &ignored));
    ASSERT_FALSE(version.empty());
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, DWORD(version.size()), version.data()));
    wchar_t* name = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(version.data(), L"\\StringFileInfo\\040904b0\\OriginalFilename",
                                 reinterpret_cast<void**>(&name), &length));
    EXPECT_STREQ(name, L"Lineage.dll");
}

} // namespace
