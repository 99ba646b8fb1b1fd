#pragma once
// Drives the module's dialog the way a host and a user do: the exported entry point runs on
// a UI thread of its own, the test waits for the dialog, reads and pokes its windows.
#include <windows.h>
#include <string>
#include <vector>
#include "base/ScopedHandle.h"

class SpMgr;
struct IOrvVault5;

namespace lineage_test {

using ShowBranchDetailsFn = void (*)(int focusDocId, int branchId, SpMgr*, IOrvVault5*, HWND parent);

// Lineage.dll from the test executable's folder, loaded once per process.
HMODULE LineageModule();
ShowBranchDetailsFn ShowBranchDetailsEntry();

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
    ~DialogSession();  // ends a dialog that is still open (as Escape would) and waits for the call to return
    // The dialog once its initialisation has run and its loop takes messages; null on timeout.
    HWND WaitForDialog(DWORD timeoutMs = 15000);
    bool WaitForReturn(DWORD timeoutMs = 15000);  // true once gvShowBranchDetails has returned
    DWORD ThreadId() const { return m_threadId; }
    HWND Dialog() const { return m_dialog; }
    HWND Item(int id) const { return ::GetDlgItem(m_dialog, id); }
    std::wstring Text(int id) const;
    std::wstring Caption() const;
    void PressClose();
    void PressKey(UINT vk);  // to the focused control, through the dialog's loop
    // Waits until every message posted so far to the dialog has been handled.
    void Sync();
    // Repaints `wnd` (a window of the dialog's thread), or with `invalidate` false only lets a
    // paint that is due happen, and waits until the paint is done.
    bool WaitForPaint(HWND wnd, bool invalidate = true);
private:
    static DWORD WINAPI ThreadMain(void* self) noexcept;
    static LRESULT CALLBACK WatchInitDialog(int code, WPARAM wp, LPARAM lp) noexcept;
    static LRESULT CALLBACK WatchMessages(int code, WPARAM wp, LPARAM lp) noexcept;
    bool Wait(HANDLE event, DWORD timeoutMs);

    Args m_args;
    ScopedKernelHandle m_dialogReady{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    ScopedKernelHandle m_synced{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    ScopedKernelHandle m_painted{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    ScopedKernelHandle m_thread;
    DWORD m_threadId = 0;
    HWND volatile m_paintTarget = nullptr;
    HWND m_dialog = nullptr;
};

std::wstring WindowText(HWND wnd);  // read from another thread

// Columns of a report list view (headings and widths), and its cells.
struct ListColumn { std::wstring heading; int width; };
std::vector<ListColumn> ReadColumns(HWND list);
int ItemCount(HWND list);
std::wstring CellText(HWND list, int item, int subItem);
std::vector<std::wstring> ColumnTexts(HWND list, int subItem);

// Rectangle of a child in its parent's client coordinates; a window's on the screen.
RECT ChildRect(HWND child);
RECT WindowRect(HWND wnd);

// A 32-bit top-down capture of a window (children included).
struct Capture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Capture CaptureWindow(HWND wnd);

// The folder of the running test executable, with a trailing backslash.
std::wstring ExecutableFolder();

} // namespace lineage_test
