#include "RectToolTips.h"

#include <commctrl.h>

#include <string_view>
#include <vector>

#include "base/ScopedHandle.h"

namespace {

constexpr wchar_t kTitleMark = L'\u00A4';
// Wide enough for a sentence per line; the tooltip wraps longer lines at this width.
constexpr int kMaxTipWidth96 = 400;

// Version-5 common controls reject the larger version-6 structure, so the smaller one
// keeps the tips working whichever version the host activated.
TTTOOLINFOW ToolInfo(HWND wnd, unsigned id) noexcept {
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = wnd;
    info.uId = id;
    return info;
}

int MaxTipWidth() noexcept {
    ScopedWindowDC screen(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return ::MulDiv(kMaxTipWidth96, dpi > 0 ? dpi : 96, 96);
}

}  // namespace

RectToolTips::Tip RectToolTips::Split(const wchar_t* text) {
    std::wstring_view s(text);
    if (s.empty() || s.front() != kTitleMark) return Tip{L"", std::wstring(s)};
    s.remove_prefix(1);
    const size_t lineEnd = s.find(L'\n');
    std::wstring_view title = s.substr(0, lineEnd);
    const std::wstring_view body = lineEnd == std::wstring_view::npos ? std::wstring_view()
                                                                      : s.substr(lineEnd + 1);
    if (!title.empty() && title.back() == L'\r') title.remove_suffix(1);
    // A title needs a description under it; alone, either part is shown as a plain tip.
    if (title.empty() || body.empty()) return Tip{L"", std::wstring(title.empty() ? body : title)};
    return Tip{std::wstring(title), std::wstring(body)};
}

bool RectToolTips::Add(HWND owner, HWND wnd, unsigned id, const RECT& rect, const wchar_t* text) {
    if (!::IsWindow(wnd) || !text) return false;
    Tip tip = Split(text);
    if (!EnsureWindow(owner ? owner : ::GetAncestor(wnd, GA_ROOT))) return false;

    const ToolKey key(wnd, id);
    if (m_tips.count(key)) DeleteTool(wnd, id);

    TTTOOLINFOW info = ToolInfo(wnd, id);
    info.uFlags = TTF_SUBCLASS;
    info.rect = rect;
    // Without the subclass no one could answer the text request: the tool then carries its
    // text itself and the title becomes the first line.
    std::wstring plain;
    if (Hook(wnd)) {
        info.lpszText = LPSTR_TEXTCALLBACKW;
    } else {
        plain = tip.title.empty() ? tip.body : tip.title + L'\n' + tip.body;
        info.lpszText = plain.data();
    }
    m_tips[key] = std::move(tip);
    if (::SendMessageW(m_tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info))) return true;

    m_tips.erase(key);
    const auto next = m_tips.lower_bound(ToolKey(wnd, 0));
    if (next == m_tips.end() || next->first.first != wnd) Unhook(wnd);
    return false;
}

bool RectToolTips::Remove(HWND wnd, unsigned id) {
    const auto it = m_tips.find(ToolKey(wnd, id));
    if (it == m_tips.end()) return false;
    DeleteTool(wnd, id);
    m_tips.erase(it);
    const auto next = m_tips.lower_bound(ToolKey(wnd, 0));
    if (next == m_tips.end() || next->first.first != wnd) Unhook(wnd);
    return true;
}

void RectToolTips::Destroy() noexcept {
    if (m_tip) {
        // Unsubclass first, so that destroying the window does not call back into us.
        ::RemoveWindowSubclass(m_tip, TipWindowProc, reinterpret_cast<UINT_PTR>(this));
        ::DestroyWindow(m_tip);
        m_tip = nullptr;
    }
    for (HWND wnd : m_hooked)
        ::RemoveWindowSubclass(wnd, ToolWindowProc, reinterpret_cast<UINT_PTR>(this));
    m_hooked.clear();
    m_tips.clear();
    m_title.clear();
}

bool RectToolTips::EnsureWindow(HWND owner) {
    if (m_tip) return true;
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&classes);
    // TTS_NOPREFIX keeps '&' and tabs of translated texts as written; TTS_ALWAYSTIP shows tips
    // while the dialog is inactive too, as a modal child of the host may well be.
    HWND tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                 nullptr, nullptr);
    if (!tip) return false;
    if (!::SetWindowSubclass(tip, TipWindowProc, reinterpret_cast<UINT_PTR>(this),
                             reinterpret_cast<DWORD_PTR>(this))) {
        ::DestroyWindow(tip);
        return false;
    }
    m_tip = tip;
    m_title.clear();
    // A maximum width turns on line breaking, which the description's line breaks need.
    ::SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, MaxTipWidth());
    return true;
}

bool RectToolTips::Hook(HWND wnd) {
    if (m_hooked.count(wnd)) return true;
    if (!::SetWindowSubclass(wnd, ToolWindowProc, reinterpret_cast<UINT_PTR>(this),
                             reinterpret_cast<DWORD_PTR>(this)))
        return false;
    try {
        m_hooked.insert(wnd);
    } catch (...) {
        ::RemoveWindowSubclass(wnd, ToolWindowProc, reinterpret_cast<UINT_PTR>(this));
        return false;
    }
    return true;
}

void RectToolTips::Unhook(HWND wnd) noexcept {
    if (!m_hooked.erase(wnd)) return;
    ::RemoveWindowSubclass(wnd, ToolWindowProc, reinterpret_cast<UINT_PTR>(this));
}

void RectToolTips::DeleteTool(HWND wnd, unsigned id) noexcept {
    if (!m_tip) return;
    TTTOOLINFOW info = ToolInfo(wnd, id);
    ::SendMessageW(m_tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void RectToolTips::ShowTitle(const std::wstring& title) noexcept {
    if (!m_tip || title == m_title) return;
    if (title.empty()) {
        // Wine removes the title only for a null string, Windows documents an empty one.
        if (!::SendMessageW(m_tip, TTM_SETTITLEW, TTI_NONE, 0))
            ::SendMessageW(m_tip, TTM_SETTITLEW, TTI_NONE, reinterpret_cast<LPARAM>(L""));
    } else {
        ::SendMessageW(m_tip, TTM_SETTITLEW, TTI_NONE, reinterpret_cast<LPARAM>(title.c_str()));
    }
    try {
        m_title = title;
    } catch (...) {
        m_title.clear();  // the next tip then sets its title again
    }
}

void RectToolTips::AnswerDispInfo(HWND wnd, NMTTDISPINFOW& info) noexcept {
    info.hinst = nullptr;
    info.szText[0] = L'\0';
    info.lpszText = info.szText;
    if (info.hdr.idFrom > UINT_MAX) return;
    const auto it = m_tips.find(ToolKey(wnd, static_cast<unsigned>(info.hdr.idFrom)));
    if (it == m_tips.end()) return;
    ShowTitle(it->second.title);
    // The control copies the text before this notification returns.
    info.lpszText = const_cast<wchar_t*>(it->second.body.c_str());
}

void RectToolTips::ForgetWindow(HWND wnd) noexcept {
    auto it = m_tips.lower_bound(ToolKey(wnd, 0));
    while (it != m_tips.end() && it->first.first == wnd) {
        DeleteTool(wnd, it->first.second);
        it = m_tips.erase(it);
    }
    Unhook(wnd);
}

LRESULT CALLBACK RectToolTips::ToolWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR, DWORD_PTR ref) noexcept {
    auto* self = reinterpret_cast<RectToolTips*>(ref);
    switch (msg) {
    case WM_NOTIFYFORMAT:
        // Asked by the tooltip when a tool is added: the texts are answered as UTF-16.
        if (self->m_tip && reinterpret_cast<HWND>(wParam) == self->m_tip && lParam == NF_QUERY)
            return NFR_UNICODE;
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header && self->m_tip && header->hwndFrom == self->m_tip &&
            header->code == TTN_GETDISPINFOW) {
            self->AnswerDispInfo(wnd, *reinterpret_cast<NMTTDISPINFOW*>(lParam));
            return 0;
        }
        break;
    }
    case WM_NCDESTROY:
        self->ForgetWindow(wnd);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(wnd, msg, wParam, lParam);
}

// The tooltip window goes with its owner, usually before this object: from then on it must
// not be used, and a later tool makes a new one.
LRESULT CALLBACK RectToolTips::TipWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR ref) noexcept {
    if (msg == WM_NCDESTROY) {
        auto* self = reinterpret_cast<RectToolTips*>(ref);
        ::RemoveWindowSubclass(wnd, TipWindowProc, reinterpret_cast<UINT_PTR>(self));
        self->m_tip = nullptr;
        self->m_title.clear();
        self->m_tips.clear();
        for (HWND hooked : self->m_hooked)
            ::RemoveWindowSubclass(hooked, ToolWindowProc, reinterpret_cast<UINT_PTR>(self));
        self->m_hooked.clear();
    }
    return ::DefSubclassProc(wnd, msg, wParam, lParam);
}
