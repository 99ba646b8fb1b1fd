#include "DialogSession.h"
#include <commctrl.h>
#include <algorithm>
#include <stdexcept>

namespace lineage_test {

namespace {
// The session whose thread is running, per thread. Win32 TLS rather than thread_local: the
// emulated TLS of the static MinGW runtime does not survive threads ending under Wine.
const DWORD g_sessionSlot = ::TlsAlloc();

DialogSession* CurrentSession() { return static_cast<DialogSession*>(::TlsGetValue(g_sessionSlot)); }

// Waits for any of the handles while answering messages sent to this thread's windows: a
// test may own the dialog's parent, which the dialog's thread talks to synchronously.
DWORD WaitPumping(DWORD count, const HANDLE* handles, DWORD timeoutMs) {
    const DWORD deadline = ::GetTickCount() + timeoutMs;
    for (;;) {
        DWORD now = ::GetTickCount();
        DWORD left = static_cast<int>(deadline - now) > 0 ? deadline - now : 0;
        DWORD which = ::MsgWaitForMultipleObjects(count, handles, FALSE, left, QS_ALLINPUT);
        if (which != WAIT_OBJECT_0 + count)
            return which;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}
} // namespace

std::wstring ExecutableFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

HMODULE LineageModule() {
    static HMODULE module = ::LoadLibraryW((ExecutableFolder() + L"Lineage.dll").c_str());
    return module;
}

ShowBranchDetailsFn ShowBranchDetailsEntry() {
    HMODULE module = LineageModule();
    return module ? reinterpret_cast<ShowBranchDetailsFn>(::GetProcAddress(module, "gvShowBranchDetails"))
                  : nullptr;
}

DialogSession::DialogSession(const Args& args) : m_args(args) {
    m_dialogReady = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_synced = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_painted = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = ::CreateThread(nullptr, 0, &DialogSession::ThreadMain, this, 0, &m_threadId);
    if (!m_thread)
        throw std::runtime_error("cannot start the dialog thread");
}

DialogSession::~DialogSession() {
    if (::WaitForSingleObject(m_thread, 0) == WAIT_TIMEOUT) {
        if (m_dialog && ::IsWindow(m_dialog))
            ::PostMessageW(m_dialog, WM_COMMAND, IDCANCEL, 0);
        WaitPumping(1, &m_thread, 15000);
    }
    ::CloseHandle(m_thread);
    ::CloseHandle(m_dialogReady);
    ::CloseHandle(m_synced);
    ::CloseHandle(m_painted);
}

DWORD WINAPI DialogSession::ThreadMain(void* param) noexcept {
    auto* self = static_cast<DialogSession*>(param);
    ::TlsSetValue(g_sessionSlot, self);
    // Watches this thread's windows: the dialog is ready once WM_INITDIALOG has returned.
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, &DialogSession::WatchInitDialog, nullptr,
                                     ::GetCurrentThreadId());
    // Sees Sync's marker taken from the queue: every message posted before it has been handled.
    HHOOK marker = ::SetWindowsHookExW(WH_GETMESSAGE, &DialogSession::WatchMarker, nullptr, ::GetCurrentThreadId());
    if (ShowBranchDetailsFn show = ShowBranchDetailsEntry())
        show(self->m_args.focusDocId, self->m_args.branchId, self->m_args.spMgr, self->m_args.vault,
             self->m_args.parent);
    if (marker)
        ::UnhookWindowsHookEx(marker);
    if (hook)
        ::UnhookWindowsHookEx(hook);
    ::TlsSetValue(g_sessionSlot, nullptr);
    return 0;
}

LRESULT CALLBACK DialogSession::WatchInitDialog(int code, WPARAM wp, LPARAM lp) noexcept {
    auto* info = reinterpret_cast<CWPRETSTRUCT*>(lp);
    DialogSession* session = CurrentSession();
    if (code == HC_ACTION && info && session && !session->m_dialog) {
        if (info->message == WM_SIZE) {
            session->m_sizedBeforeReady.push_back(info->hwnd);
        } else if (info->message == WM_INITDIALOG) {
            session->m_dialog = info->hwnd;
            ::SetEvent(session->m_dialogReady);
        }
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

HWND DialogSession::WaitForDialog(DWORD timeoutMs) {
    HANDLE waits[] = {m_dialogReady, m_thread};
    DWORD which = WaitPumping(2, waits, timeoutMs);
    if (which != WAIT_OBJECT_0)
        return nullptr;
    Sync();
    return m_dialog;
}

int DialogSession::SizesDuringInit() const {
    return static_cast<int>(std::count(m_sizedBeforeReady.begin(), m_sizedBeforeReady.end(), m_dialog));
}

bool DialogSession::WaitForReturn(DWORD timeoutMs) {
    return WaitPumping(1, &m_thread, timeoutMs) == WAIT_OBJECT_0;
}

LRESULT CALLBACK DialogSession::WatchMarker(int code, WPARAM wp, LPARAM lp) noexcept {
    auto* msg = reinterpret_cast<MSG*>(lp);
    DialogSession* session = CurrentSession();
    if (code == HC_ACTION && wp == PM_REMOVE && msg && session) {
        if (msg->message == kSyncMarker)
            ::SetEvent(session->m_synced);
        else if (msg->message == WM_PAINT && msg->hwnd == session->m_paintTarget)
            ::SetEvent(session->m_painted);
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

void DialogSession::Sync() {
    if (!m_dialog || !::IsWindow(m_dialog))
        return;
    // Posted messages are taken in order: once the marker is taken, everything posted before
    // it has been handled. The sent message then waits for the marker's own dispatch.
    ::ResetEvent(m_synced);
    if (::PostMessageW(m_dialog, kSyncMarker, 0, 0)) {
        HANDLE waits[] = {m_synced, m_thread};
        WaitPumping(2, waits, 10000);
    }
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(m_dialog, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
}

bool DialogSession::WaitForPaint(HWND wnd) {
    // WM_PAINT comes only when the queue is otherwise empty. A paint already under way when
    // the window is invalidated may take the new invalid area with it: after Sync, either the
    // window has nothing left to paint, or a WM_PAINT is due and the hook will see it taken.
    m_paintTarget = wnd;
    ::ResetEvent(m_painted);
    ::InvalidateRect(wnd, nullptr, TRUE);
    Sync();
    bool painted = ::WaitForSingleObject(m_painted, 0) == WAIT_OBJECT_0 || !::GetUpdateRect(wnd, nullptr, FALSE);
    if (!painted) {
        HANDLE waits[] = {m_painted, m_thread};
        painted = WaitPumping(2, waits, 10000) == WAIT_OBJECT_0;
    }
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(wnd, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
    m_paintTarget = nullptr;
    return painted;
}

std::wstring DialogSession::Text(int id) const { return WindowText(Item(id)); }

std::wstring DialogSession::Caption() const { return WindowText(m_dialog); }

void DialogSession::PressClose() { ::PostMessageW(Item(4001), BM_CLICK, 0, 0); }

void DialogSession::CloseFromTitleBar() { ::PostMessageW(m_dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }

void DialogSession::PressKey(UINT vk) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    HWND target = m_dialog;
    if (::GetGUIThreadInfo(m_threadId, &info) && info.hwndFocus)
        target = info.hwndFocus;
    UINT scan = ::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    ::PostMessageW(target, WM_KEYDOWN, vk, 1 | (scan << 16));
    ::PostMessageW(target, WM_KEYUP, vk, 1 | (scan << 16) | (1u << 30) | (1u << 31));
}

std::wstring WindowText(HWND wnd) {
    wchar_t buffer[1024] = {};
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(wnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL, 10000, &length);
    return std::wstring(buffer, length);
}

std::vector<ListColumn> ReadColumns(HWND list) {
    std::vector<ListColumn> columns;
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    int count = header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < count; ++i) {
        wchar_t text[260] = {};
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.pszText = text;
        col.cchTextMax = 260;
        ::SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
        columns.push_back({text, col.cx});
    }
    return columns;
}

int ItemCount(HWND list) { return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring CellText(HWND list, int item, int subItem) {
    std::wstring text(1024, L'\0');
    LVITEMW lvi{};
    lvi.iSubItem = subItem;
    lvi.pszText = text.data();
    lvi.cchTextMax = static_cast<int>(text.size());
    auto length = static_cast<size_t>(::SendMessageW(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lvi)));
    text.resize(length);
    return text;
}

std::vector<std::vector<std::wstring>> ReadRows(HWND list) {
    std::vector<std::vector<std::wstring>> rows;
    size_t columns = ReadColumns(list).size();
    int count = ItemCount(list);
    for (int i = 0; i < count; ++i) {
        std::vector<std::wstring> row;
        for (size_t c = 0; c < columns; ++c)
            row.push_back(CellText(list, i, static_cast<int>(c)));
        rows.push_back(std::move(row));
    }
    return rows;
}

RECT ChildRect(HWND child) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT WindowRect(HWND wnd) {
    RECT rect{};
    ::GetWindowRect(wnd, &rect);
    return rect;
}

Capture CaptureWindow(HWND wnd) {
    Capture capture;
    RECT rect{};
    ::GetWindowRect(wnd, &rect);
    capture.width = rect.right - rect.left;
    capture.height = rect.bottom - rect.top;
    if (capture.width <= 0 || capture.height <= 0)
        return capture;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC source = ::GetWindowDC(wnd);
    HDC memory = ::CreateCompatibleDC(source);
    HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, capture.width, capture.height, source, 0, 0, SRCCOPY);
    ::GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    capture.pixels.assign(p, p + static_cast<size_t>(capture.width) * capture.height);
    for (auto& px : capture.pixels)
        px &= 0x00FFFFFF;
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(wnd, source);
    return capture;
}

} // namespace lineage_test
