#include "DialogSession.h"
#include <commctrl.h>
#include "base/ModulePath.h"

namespace lineage_test {

namespace {
// Win32 TLS: the static MinGW runtime's emulated thread_local does not survive threads ending under Wine.
const DWORD g_sessionSlot = ::TlsAlloc();
constexpr UINT kSyncMarker = WM_APP + 0x3A5;

DialogSession* CurrentSession() { return static_cast<DialogSession*>(::TlsGetValue(g_sessionSlot)); }

void SendNull(HWND wnd) { ::SendMessageTimeoutW(wnd, WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr); }
} // namespace

std::wstring ExecutableFolder() { return FolderOf(ModulePath(nullptr)); }

HMODULE LineageModule() {
    static HMODULE module = ::LoadLibraryW((ExecutableFolder() + L"Lineage.dll").c_str());
    return module;
}

ShowBranchDetailsFn ShowBranchDetailsEntry() {
    HMODULE module = LineageModule();
    return module ? reinterpret_cast<ShowBranchDetailsFn>(::GetProcAddress(module, "gvShowBranchDetails")) : nullptr;
}

DialogSession::DialogSession(const Args& args)
    : m_args(args), m_thread(::CreateThread(nullptr, 0, &DialogSession::ThreadMain, this, 0, &m_threadId)) {}

DialogSession::~DialogSession() {
    if (::WaitForSingleObject(m_thread.get(), 0) == WAIT_TIMEOUT && m_dialog && ::IsWindow(m_dialog))
        ::PostMessageW(m_dialog, WM_COMMAND, IDCANCEL, 0);
    WaitForReturn();
}

DWORD WINAPI DialogSession::ThreadMain(void* param) noexcept {
    auto* self = static_cast<DialogSession*>(param);
    ::TlsSetValue(g_sessionSlot, self);
    HHOOK init = ::SetWindowsHookExW(WH_CALLWNDPROCRET, &WatchInitDialog, nullptr, ::GetCurrentThreadId());
    HHOOK messages = ::SetWindowsHookExW(WH_GETMESSAGE, &WatchMessages, nullptr, ::GetCurrentThreadId());
    const Args& args = self->m_args;
    if (ShowBranchDetailsFn show = ShowBranchDetailsEntry())
        show(args.focusDocId, args.branchId, args.spMgr, args.vault, args.parent);
    ::UnhookWindowsHookEx(messages);
    ::UnhookWindowsHookEx(init);
    return 0;
}

LRESULT CALLBACK DialogSession::WatchInitDialog(int code, WPARAM wp, LPARAM lp) noexcept {
    const auto* info = reinterpret_cast<CWPRETSTRUCT*>(lp);
    if (DialogSession* session = CurrentSession();
        code == HC_ACTION && session && !session->m_dialog && info->message == WM_INITDIALOG) {
        session->m_dialog = info->hwnd;
        if (atInit)
            atInit(info->hwnd);
        ::SetEvent(session->m_dialogReady.get());
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK DialogSession::WatchMessages(int code, WPARAM wp, LPARAM lp) noexcept {
    const auto* msg = reinterpret_cast<MSG*>(lp);
    if (DialogSession* session = CurrentSession(); code == HC_ACTION && wp == PM_REMOVE && session) {
        if (msg->message == kSyncMarker)
            ::SetEvent(session->m_synced.get());
        else if (msg->message == WM_PAINT && msg->hwnd == session->m_paintTarget)
            ::SetEvent(session->m_painted.get());
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

// Answers messages meanwhile: the test may own the dialog's parent, which the dialog's thread sends to.
bool DialogSession::Wait(HANDLE event, DWORD timeoutMs) {
    const HANDLE waits[] = {event ? event : m_thread.get(), m_thread.get()};
    const DWORD count = event ? 2 : 1;
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        const DWORD which = ::MsgWaitForMultipleObjects(count, waits, FALSE,
                                                        now < deadline ? DWORD(deadline - now) : 0, QS_ALLINPUT);
        if (which != WAIT_OBJECT_0 + count)
            return which == WAIT_OBJECT_0;
        for (MSG msg; ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
            ::DispatchMessageW(&msg);
    }
}

HWND DialogSession::WaitForDialog(DWORD timeoutMs) {
    if (!Wait(m_dialogReady.get(), timeoutMs))
        return nullptr;
    Sync();
    return m_dialog;
}

void DialogSession::Sync() {
    if (!m_dialog || !::IsWindow(m_dialog))
        return;
    ::ResetEvent(m_synced.get());
    if (::PostMessageW(m_dialog, kSyncMarker, 0, 0))
        Wait(m_synced.get(), 10000);
    SendNull(m_dialog);
}

bool DialogSession::WaitForPaint(HWND wnd, bool invalidate) {
    // WM_PAINT comes only on an empty queue: after Sync either nothing is left to paint or a paint is due.
    m_paintTarget = wnd;
    ::ResetEvent(m_painted.get());
    if (invalidate)
        ::InvalidateRect(wnd, nullptr, TRUE);
    Sync();
    const bool painted = ::WaitForSingleObject(m_painted.get(), 0) == WAIT_OBJECT_0 ||
                         !::GetUpdateRect(wnd, nullptr, FALSE) || Wait(m_painted.get(), 10000);
    SendNull(wnd);
    m_paintTarget = nullptr;
    return painted;
}

void DialogSession::PressKey(UINT vk) {
    GUITHREADINFO info{sizeof(info)};
    const HWND target = ::GetGUIThreadInfo(m_threadId, &info) && info.hwndFocus ? info.hwndFocus : m_dialog;
    const UINT scan = ::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC) << 16;
    ::PostMessageW(target, WM_KEYDOWN, vk, 1 | scan);
    ::PostMessageW(target, WM_KEYUP, vk, 1 | scan | 0xC0000000u);
}

std::wstring WindowText(HWND wnd) {
    wchar_t buffer[1024] = {};
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(wnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL, 10000, &length);
    return std::wstring(buffer, length);
}

std::vector<ListColumn> ReadColumns(HWND list) {
    std::vector<ListColumn> columns;
    wchar_t text[260] = {};
    for (LVCOLUMNW col{LVCF_TEXT | LVCF_WIDTH, 0, 0, text, 260};
         ::SendMessageW(list, LVM_GETCOLUMNW, columns.size(), reinterpret_cast<LPARAM>(&col));)
        columns.push_back({text, col.cx});
    return columns;
}

int ItemCount(HWND list) { return int(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
std::wstring CellText(HWND list, int item, int subItem) {
    wchar_t text[1024] = L"";
    LVITEMW lvi{0, 0, subItem, 0, 0, text, 1024};
    return {text, size_t(::SendMessageW(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lvi)))};
}

std::vector<std::wstring> ColumnTexts(HWND list, int subItem) {
    std::vector<std::wstring> cells;
    for (int i = 0; i < ItemCount(list); ++i)
        cells.push_back(CellText(list, i, subItem));
    return cells;
}

RECT WindowRect(HWND wnd) {
    RECT rect{};
    ::GetWindowRect(wnd, &rect);
    return rect;
}

RECT ChildRect(HWND child) {
    RECT rect = WindowRect(child);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

Capture CaptureWindow(HWND wnd) {
    const RECT rect = WindowRect(wnd);
    Capture capture{rect.right - rect.left, rect.bottom - rect.top};
    if (capture.width <= 0 || capture.height <= 0)
        return capture;
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), capture.width, -capture.height, 1, 32, BI_RGB}};
    void* bits = nullptr;
    ScopedWindowDC source(wnd, true);
    ScopedMemDC memory(::CreateCompatibleDC(source.get()));
    ScopedHBITMAP bitmap(::CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ScopedSelectObject select(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, capture.width, capture.height, source.get(), 0, 0, SRCCOPY);
    ::GdiFlush();
    const auto* first = static_cast<const uint32_t*>(bits);
    capture.pixels.assign(first, first + size_t(capture.width) * capture.height);
    for (uint32_t& pixel : capture.pixels)
        pixel &= 0x00FFFFFF;
    return capture;
}

} // namespace lineage_test
