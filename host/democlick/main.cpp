// democlick: what the demo's user does with the mouse. Waits for the branch details dialog,
// right-clicks the focus row's "Source File" cell and, once the file menu is open, prints the
// screen rectangle holding the dialog and its menu ("x y width height") for the screenshot.
// Exit code 0 once the menu is open; 1 when the dialog or the menu did not appear in time.
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <cwchar>

namespace {

constexpr int kFileList = 4004;
constexpr DWORD kTimeoutMs = 60000;

BOOL CALLBACK FindDialog(HWND wnd, LPARAM found) {
    wchar_t caption[64] = L"";
    ::GetWindowTextW(wnd, caption, 64);
    if (!::IsWindowVisible(wnd) || std::wcsncmp(caption, L"Associated Branches", 19) != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = wnd;
    return FALSE;
}

template <class Find>
HWND WaitFor(Find find) {
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < kTimeoutMs; ::Sleep(100))
        if (HWND wnd = find())
            return wnd;
    return nullptr;
}

HWND VisibleMenu() {
    for (HWND menu = nullptr; (menu = ::FindWindowExW(nullptr, menu, L"#32768", nullptr));)
        if (::IsWindowVisible(menu))
            return menu;
    return nullptr;
}

} // namespace

int wmain() {
    HWND dialog = WaitFor([] {
        HWND found = nullptr;
        ::EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&found));
        return found;
    });
    HWND list = dialog ? ::GetDlgItem(dialog, kFileList) : nullptr;
    if (!list)
        return 1;

    // The first row's middle, in the second column: below the header, past the "Type" column.
    RECT header{};
    ::GetWindowRect(::GetWindow(list, GW_CHILD), &header);
    const int typeWidth = static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
    const int sourceWidth = static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0));
    ::SetForegroundWindow(dialog);
    ::SetCursorPos(header.left + typeWidth + sourceWidth / 2, header.bottom + 8);
    INPUT click[2]{};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    ::SendInput(2, click, sizeof(INPUT));

    HWND menu = WaitFor(VisibleMenu);
    if (!menu)
        return 1;
    RECT shown{}, menuRect{};
    ::GetWindowRect(dialog, &shown);
    ::GetWindowRect(menu, &menuRect);
    ::UnionRect(&shown, &shown, &menuRect);
    std::printf("%ld %ld %ld %ld\n", shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top);
    return 0;
}
