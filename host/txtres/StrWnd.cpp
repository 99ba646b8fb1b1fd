// The window-state companion of a dialog: anchored layout, remembered sizes, rectangle
// tooltips. Every entry point catches what it raises: nothing may unwind into the caller's
// module, which has its own runtime.
#include "contracts/Txtres.h"

#include <commctrl.h>

#include <cstdarg>
#include <cwchar>
#include <new>
#include <string>

#include "AnchorLayout.h"
#include "RectToolTips.h"
#include "WindowStateStore.h"

namespace {

// The message box text follows the C runtime's wide printf rules (%s is a wide string).
std::wstring FormatV(const wchar_t* format, va_list args) {
    if (!format) return {};
    va_list measure;
    va_copy(measure, args);
    const int length = ::_vscwprintf(format, measure);
    va_end(measure);
    if (length < 0) return format;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int written = ::_vsnwprintf(text.data(), text.size(), format, args);
    text.resize(written < 0 ? 0 : static_cast<size_t>(written));
    return text;
}

std::wstring WindowText(HWND wnd) {
    const int length = ::GetWindowTextLengthW(wnd);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(wnd, text.data(), length + 1)));
    return text;
}

}  // namespace

struct StrWnd::Impl {
    HWND wnd = nullptr;
    bool remember = false;
    WindowStateStore store{nullptr};
    AnchorLayout layout;
    RectToolTips tips;

    bool persistent() const noexcept { return remember && store.usable() && ::IsWindow(wnd); }
};

// Without memory for its state the object stays inert: a constructor has no other way to
// fail that does not throw into the caller.
StrWnd::StrWnd() : m_impl(new (std::nothrow) Impl) {}

StrWnd::~StrWnd() {
    delete m_impl;
}

bool StrWnd::mbGetHelpString(unsigned, std::wstring&) {
    return false;
}

void StrWnd::mvMsgBox(const wchar_t* format, ...) {
    std::wstring text, caption;
    va_list args;
    va_start(args, format);
    try {
        text = FormatV(format, args);
        if (m_impl && ::IsWindow(m_impl->wnd)) caption = WindowText(m_impl->wnd);
    } catch (...) {
        // Out of memory: an empty box still tells the user something happened.
    }
    va_end(args);
    HWND owner = m_impl && ::IsWindow(m_impl->wnd) ? m_impl->wnd : nullptr;
    ::MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK);
}

bool StrWnd::mbPermitToolTip(unsigned, std::wstring&) {
    return false;
}

void StrWnd::mvDeInitialize() {
    if (!m_impl) return;
    m_impl->tips.Destroy();
    m_impl->layout.Clear();
}

bool StrWnd::mbInitStrWnd(HWND wnd, const wchar_t* name, bool remember, const wchar_t* /*helpFile*/,
                          const wchar_t* /*helpContext*/, const wchar_t* /*reserved*/) {
    if (!m_impl || !::IsWindow(wnd)) return false;
    try {
        // A second initialisation starts over: tooltips and anchors of the old window go.
        m_impl->tips.Destroy();
        m_impl->layout.Clear();
        m_impl->store = WindowStateStore(name);
        m_impl->wnd = wnd;
        m_impl->remember = remember;
        return true;
    } catch (...) {
        m_impl->wnd = nullptr;
        return false;
    }
}

void StrWnd::mvFixCtrl(unsigned ctrlId, int anchors) {
    if (!m_impl) return;
    try {
        m_impl->layout.Add(m_impl->wnd, ctrlId, anchors);
    } catch (...) {
    }
}

void StrWnd::mvUpdateFixedCtrls() {
    if (!m_impl) return;
    try {
        m_impl->layout.Update(m_impl->wnd);
    } catch (...) {
    }
}

CRect StrWnd::moGetCtrlPos(unsigned ctrlId) {
    return m_impl ? m_impl->layout.CurrentRect(m_impl->wnd, ctrlId) : CRect();
}

void StrWnd::mvFlushWindowSize(bool save) {
    if (!m_impl || !m_impl->persistent()) return;
    try {
        if (save)
            m_impl->store.SaveWindowSize(m_impl->wnd);
        else
            m_impl->store.RestoreWindowSize(m_impl->wnd);
    } catch (...) {
    }
}

void StrWnd::mvFlushColumnSizes(unsigned listId, bool save, int columnCount, const wchar_t* key) {
    if (!m_impl || !m_impl->persistent() || columnCount <= 0) return;
    try {
        HWND list = ::GetDlgItem(m_impl->wnd, static_cast<int>(listId));
        if (!list) return;
        if (save)
            m_impl->store.SaveColumnWidths(list, columnCount, key);
        else
            m_impl->store.RestoreColumnWidths(list, columnCount, key);
    } catch (...) {
    }
}

bool StrWnd::mbAddToolTip(HWND wnd, unsigned id, CRect& rect, const wchar_t* text) {
    if (!m_impl) return false;
    try {
        HWND owner = ::IsWindow(m_impl->wnd) ? m_impl->wnd : nullptr;
        return m_impl->tips.Add(owner, wnd, id, rect, text);
    } catch (...) {
        return false;
    }
}

bool StrWnd::mbRemoveRectToolTip(HWND wnd, unsigned id) {
    if (!m_impl) return false;
    try {
        return m_impl->tips.Remove(wnd, id);
    } catch (...) {
        return false;
    }
}
