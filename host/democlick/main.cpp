// democlick: what the demo's user does with the mouse and keyboard.
//   democlick        waits for the branch details dialog and right-clicks the focus row's
//                    "Source File" cell; once the file menu is open, prints the screen rectangle
//                    holding the dialog and its menu ("x y width height") for the screenshot.
//   democlick merge  chooses "Merge" in the open menu and prints the rectangle holding the
//                    dialog and the merge component's window.
// Exit code 0 once the menu or window is open; 1 when it did not appear in time.
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

HWND Dialog() {
    HWND found = nullptr;
    ::EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

int PrintAround(HWND dialog, HWND shownWindow) {
    if (!dialog || !shownWindow)
        return 1;
    RECT shown{}, other{};
    ::GetWindowRect(dialog, &shown);
    ::GetWindowRect(shownWindow, &other);
    ::UnionRect(&shown, &shown, &other);
    std::printf("%ld %ld %ld %ld\n", shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top);
    return 0;
}

// "Merge" is the menu's last item: Up from no selection, then Enter.
int ChooseMerge() {
    if (!VisibleMenu())
        return 1;
    INPUT keys[4]{};
    const WORD sequence[] = {VK_UP, VK_RETURN};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = sequence[i / 2];
        keys[i].ki.dwFlags = i % 2 ? KEYEVENTF_KEYUP : 0;
    }
    ::SendInput(4, keys, sizeof(INPUT));
    return PrintAround(Dialog(), WaitFor([] {
        HWND merge = ::FindWindowW(nullptr, L"Merge");
        return merge && ::IsWindowVisible(merge) ? merge : nullptr;
    }));
}

} // namespace

int wmain(int argc, wchar_t* argv[]) {
    if (argc > 1 && std::wcscmp(argv[1], L"merge") == 0)
        return ChooseMerge();
    HWND dialog = WaitFor(Dialog);
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

    return PrintAround(dialog, WaitFor(VisibleMenu));
}
