#pragma once
// Drives the module's dialog as a host and a user do: the exported entry point runs on a UI thread
// of its own, the test waits for the dialog, reads and pokes its windows.
#include <windows.h>
#include <string>
#include <vector>
#include "base/ScopedHandle.h"
#include "module/resource.h"

class SpMgr;
struct IOrvVault5;

namespace lineage_test {

using ShowBranchDetailsFn = void (*)(int focusDocId, int branchId, SpMgr*, IOrvVault5*, HWND parent);

HMODULE LineageModule();  // Lineage.dll from the test executable's folder, loaded once per process
ShowBranchDetailsFn ShowBranchDetailsEntry();
std::wstring WindowText(HWND wnd);  // read from another thread
std::wstring ExecutableFolder();    // with a trailing backslash

class DialogSession {
public:
    struct Args {
        int focusDocId = 0, branchId = 0;
        SpMgr* spMgr = nullptr;
        IOrvVault5* vault = nullptr;
        HWND parent = nullptr;
    };
    explicit DialogSession(const Args& args);
    DialogSession(const DialogSession&) = delete;
    DialogSession& operator=(const DialogSession&) = delete;
    ~DialogSession();  // ends a dialog still open (as Escape would) and waits for the call to return
    HWND WaitForDialog(DWORD timeoutMs = 15000);  // once initialised and taking messages; null on timeout
    static inline void (*atInit)(HWND dialog) = nullptr;  // on the dialog's thread, once WM_INITDIALOG returned
    bool WaitForReturn(DWORD timeoutMs = 15000) { return Wait(nullptr, timeoutMs); }
    DWORD ThreadId() const { return m_threadId; }
    HWND Dialog() const { return m_dialog; }
    HWND Item(int id) const { return ::GetDlgItem(m_dialog, id); }
    std::wstring Text(int id) const { return WindowText(Item(id)); }
    std::wstring Caption() const { return WindowText(m_dialog); }
    void PressClose() { ::PostMessageW(Item(IDC_CLOSE), BM_CLICK, 0, 0); }
    void PressKey(UINT vk);  // to the focused control, through the dialog's loop
    void Sync();             // waits until every message posted so far to the dialog has been handled
    // Repaints `wnd` (or, `invalidate` false, lets a paint that is due happen) and waits for the paint.
    bool WaitForPaint(HWND wnd, bool invalidate = true);

private:
    static DWORD WINAPI ThreadMain(void* self) noexcept;
    static LRESULT CALLBACK WatchInitDialog(int code, WPARAM wp, LPARAM lp) noexcept;
    static LRESULT CALLBACK WatchMessages(int code, WPARAM wp, LPARAM lp) noexcept;
    bool Wait(HANDLE event, DWORD timeoutMs);  // null: the call's return

    Args m_args;
    ScopedKernelHandle m_dialogReady{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    ScopedKernelHandle m_synced{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    ScopedKernelHandle m_painted{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    DWORD m_threadId = 0;
    HWND volatile m_paintTarget = nullptr;
    HWND m_dialog = nullptr;
    ScopedKernelHandle m_thread;  // last: the thread starts while it is made
};

struct ListColumn { std::wstring heading; int width; };
std::vector<ListColumn> ReadColumns(HWND list);
int ItemCount(HWND list);
std::wstring CellText(HWND list, int item, int subItem);
std::vector<std::wstring> ColumnTexts(HWND list, int subItem);
RECT ChildRect(HWND child);  // in its parent's client coordinates
RECT WindowRect(HWND wnd);

struct Capture {  // 32-bit top-down, children included
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Capture CaptureWindow(HWND wnd);

} // namespace lineage_test
