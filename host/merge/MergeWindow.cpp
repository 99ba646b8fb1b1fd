#include "MergeWindow.h"

#include <algorithm>
#include <new>
#include <vector>

#include "ServerLife.h"

namespace MergeWindow {

namespace {

constexpr wchar_t kClassName[] = L"LedgerixMergeWindow";
constexpr int kMargin = 8;
constexpr int kLabelHeight = 20;
constexpr int kVaultLabelId = 1;
constexpr int kFileListId = 2;

// The vault label across the top, the list below it filling the rest.
void Layout(HWND window, int width, int height) noexcept {
    const int listTop = 2 * kMargin + kLabelHeight;
    const int innerWidth = std::max(0, width - 2 * kMargin);
    const int listHeight = std::max(0, height - listTop - kMargin);
    ::MoveWindow(::GetDlgItem(window, kVaultLabelId), kMargin, kMargin, innerWidth, kLabelHeight, TRUE);
    ::MoveWindow(::GetDlgItem(window, kFileListId), kMargin, listTop, innerWidth, listHeight, TRUE);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) noexcept {
    switch (message) {
    case WM_NCCREATE: {
        const LRESULT created = ::DefWindowProcW(window, message, wp, lp);
        if (created) ++ServerLife::windows;
        return created;
    }
    case WM_SIZE:
        Layout(window, LOWORD(lp), HIWORD(lp));
        return 0;
    case WM_NCDESTROY:
        --ServerLife::windows;
        break;
    }
    return ::DefWindowProcW(window, message, wp, lp);
}

[[nodiscard]] bool RegisterWindowClass() noexcept {
    WNDCLASSEXW wc = {sizeof(wc)};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = ServerLife::module;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateChild(HWND parent, int id, const wchar_t* className, const wchar_t* text, DWORD style) noexcept {
    HWND child = ::CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ServerLife::module, nullptr);
    if (child) ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return child;
}

}  // namespace

bool Show(const std::wstring& vaultName, const MergeSelection* items, long count) noexcept {
    std::wstring labelText;
    std::vector<std::wstring> lines;
    try {
        labelText = L"Vault: " + vaultName;
        for (long i = 0; i < count; ++i)
            lines.push_back(L"Document " + std::to_wstring(items[i].branchDocId) + L" (folder " +
                            std::to_wstring(items[i].branchFolderId) + L")");
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!RegisterWindowClass()) return false;
    HWND window = ::CreateWindowExW(0, kClassName, L"Merge", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 360,
                                    280, nullptr, nullptr, ServerLife::module, nullptr);
    if (!window) return false;
    HWND label = CreateChild(window, kVaultLabelId, L"STATIC", labelText.c_str(), SS_LEFTNOWORDWRAP | SS_NOPREFIX);
    HWND list = CreateChild(window, kFileListId, L"LISTBOX", nullptr, WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT);
    if (!label || !list) {
        ::DestroyWindow(window);
        return false;
    }
    for (const std::wstring& line : lines)
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    RECT client{};
    ::GetClientRect(window, &client);
    Layout(window, client.right, client.bottom);
    ::ShowWindow(window, SW_SHOWNORMAL);
    return true;
}

void UnregisterClass() noexcept {
    ::UnregisterClassW(kClassName, ServerLife::module);
}

}  // namespace MergeWindow
