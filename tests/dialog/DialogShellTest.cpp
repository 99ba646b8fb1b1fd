// The dialog's shell: controls, columns, icons, resizing, what it remembers, what the module exports.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include <filesystem>
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

constexpr wchar_t kWindowState[] =
    L"Software\\Brightfold\\Applications\\Ledgerix Enterprise\\Window State\\BranchDetails";

SIZE SizeOf(const RECT& r) { return SIZE{r.right - r.left, r.bottom - r.top}; }

void Resize(HWND dialog, SIZE size) {
    ::SetWindowPos(dialog, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
}

TEST(DialogShell, ControlsColumnsIconsAnchorsAndOwner) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kWindowState);
    HWND host = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr,
                                  nullptr, nullptr);
    TestVault vault{L"Engineering", L"C:\\vault\\"};
    {
        DialogSession session({0, 0, nullptr, &vault, host});
        HWND dialog = session.WaitForDialog();
        ASSERT_TRUE(dialog);
        EXPECT_EQ(::GetWindow(dialog, GW_OWNER), host);
        EXPECT_EQ(session.Caption(), L"Dialog");
        EXPECT_EQ(vault.reads, 2) << "the vault's name and root are read once each";
        // How each control's left, top, right and bottom follow the dialog's growth.
        struct Control { int id; const wchar_t* cls; const wchar_t* text; bool visible, enabled; int l, t, r, b; };
        const Control controls[] = {
            {IDC_CREATED_BY_LABEL, L"Static", L"Created By:", true, true, 0, 0, 0, 0},
            {IDC_CREATED_BY, L"Edit", L"", true, false, 0, 0, 0, 0},
            {IDC_CREATED_ON_LABEL, L"Static", L"Created On:", true, true, 0, 0, 0, 0},
            {IDC_CREATED_ON, L"Edit", L"", true, false, 0, 0, 0, 0},
            {IDC_FILE_LIST, L"SysListView32", L"", true, true, 0, 0, 1, 1},
            {IDC_HELP_BUTTON, L"Button", L"Help", true, true, 1, 1, 1, 1},
            {IDC_CLOSE, L"Button", L"Close", true, true, 1, 1, 1, 1},
            {IDC_TOOLBAR_MARKER, L"Static", L"Static", false, false, 1, 0, 1, 0}};
        std::vector<RECT> before;
        for (const Control& c : controls)
            before.push_back(ChildRect(session.Item(c.id)));
        const SIZE templateSize = SizeOf(WindowRect(dialog));
        const int dx = 120, dy = 80;
        Resize(dialog, {templateSize.cx + dx, templateSize.cy + dy});
        session.Sync();
        for (size_t i = 0; i < std::size(controls); ++i) {
            const Control& c = controls[i];
            SCOPED_TRACE(c.id);
            HWND item = session.Item(c.id);
            wchar_t cls[64] = {};
            ::GetClassNameW(item, cls, 64);
            EXPECT_STREQ(cls, c.cls);
            EXPECT_EQ(WindowText(item), c.text);
            EXPECT_EQ(::IsWindowVisible(item) != FALSE, c.visible);
            EXPECT_EQ(::IsWindowEnabled(item) != FALSE, c.enabled);
            const RECT after = ChildRect(item);
            EXPECT_EQ(after.left - before[i].left, c.l * dx);
            EXPECT_EQ(after.top - before[i].top, c.t * dy);
            EXPECT_EQ(after.right - before[i].right, c.r * dx);
            EXPECT_EQ(after.bottom - before[i].bottom, c.b * dy);
        }
        MINMAXINFO info{};
        ::SendMessageW(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(info.ptMinTrackSize.x, templateSize.cx);
        EXPECT_EQ(info.ptMinTrackSize.y, templateSize.cy);
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

TEST(DialogShell, DISABLED_OpensWithoutIconsWhenTheLibraryIsMissing) {
    ASSERT_TRUE(IsTestChild());
    BranchDialog dialog({7, L"R", L"anna", 0, {BranchFile(1, 11, L"a.txt", L"", L"")}});
    for (WPARAM kind : {ICON_SMALL, ICON_BIG})
        EXPECT_FALSE(::SendMessageW(dialog->Dialog(), WM_GETICON, kind, 0));
    EXPECT_EQ(ItemCount(dialog.List()), 1);
}

TEST(DialogShell, OpensWithoutTheIconLibrary) {
    glyphset_test::LocationValue location(std::filesystem::temp_directory_path().c_str());
    EXPECT_TRUE(RunTestInChild("DialogShell.DISABLED_OpensWithoutIconsWhenTheLibraryIsMissing", {}));
}

// Without a vault or a parent, call after call: the host's module has no template of its own.
TEST(DialogShell, SizesAreRememberedByCloseTitleBarAndEnterButNotEscape) {
    ASSERT_EQ(::FindResourceW(nullptr, MAKEINTRESOURCEW(IDD_BRANCH_DETAILS), RT_DIALOG), nullptr);
    for (UINT by : {UINT(IDC_CLOSE), UINT(WM_SYSCOMMAND), UINT(VK_RETURN), UINT(VK_ESCAPE)}) {
        SCOPED_TRACE(by);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kWindowState);
        SIZE templateSize{}, chosen{};
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
        EXPECT_EQ(size.cx, expected.cx);
        EXPECT_EQ(size.cy, expected.cy);
        EXPECT_EQ(ReadColumns(session.Item(IDC_FILE_LIST)).at(1).width, by == VK_ESCAPE ? 300 : 123);
        DWORD width = 0, bytes = sizeof(width);
        ::RegGetValueW(HKEY_CURRENT_USER, (std::wstring(kWindowState) + L"\\FileCols").c_str(), L"Col1",
                       RRF_RT_REG_DWORD, nullptr, &width, &bytes);
        EXPECT_EQ(width, by == VK_ESCAPE ? 0u : 123u) << "widths of a plain branch are kept under FileCols";
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kWindowState);
}

TEST(Module, ExportsTheDpiHelperAndHoldsTheManifestAndVersion) {
    const CDPIHelper* helper = CDPIHelper::get();
    ASSERT_NE(helper, nullptr);
    EXPECT_EQ(helper->getDPI_OS(), 96) << "Wine's screen";
    EXPECT_EQ(helper->getToolbarButtonSizeBF(), 24);
    const std::pair<const char*, int> getters[] = {
        {"_ZNK10CDPIHelper9getDPI_OSEv", 96},
        {"_ZNK10CDPIHelper12getSystemDPIEv", 96},
        {"_ZNK10CDPIHelper22getToolbarButtonSizeBFEv", 24},
        {"_ZNK10CDPIHelper23getToolbarButtonSizeExpEv", helper->getToolbarButtonSizeExp()}};
    HMODULE module = LineageModule();
    for (const auto& [name, expected] : getters) {
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
    const std::wstring path = ExecutableFolder() + L"Lineage.dll";
    std::vector<char> version(::GetFileVersionInfoSizeW(path.c_str(), nullptr));
    ASSERT_TRUE(!version.empty() && ::GetFileVersionInfoW(path.c_str(), 0, DWORD(version.size()), version.data()));
    wchar_t* name = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(version.data(), L"\\StringFileInfo\\040904b0\\OriginalFilename",
                                 reinterpret_cast<void**>(&name), &length));
    EXPECT_STREQ(name, L"Lineage.dll");
}

} // namespace
