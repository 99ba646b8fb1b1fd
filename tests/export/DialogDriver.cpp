#include "DialogDriver.h"
#include <algorithm>

namespace {

DialogDriver* g_driver = nullptr;

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

std::wstring Text(HWND window) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(window, text, 1024);
    return text;
}

} // namespace

DialogDriver::DialogDriver() : m_hook(::SetWindowsHookExW(WH_CBT, CbtHook, nullptr, ::GetCurrentThreadId())) {
    g_driver = this;
}

DialogDriver::~DialogDriver() {
    ::UnhookWindowsHookEx(m_hook);
    g_driver = nullptr;
}

void DialogDriver::Press(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

LRESULT CALLBACK DialogDriver::CbtHook(int code, WPARAM wp, LPARAM lp) noexcept {
    if (code == HCBT_ACTIVATE && g_driver) {
        try {
            g_driver->OnActivate(reinterpret_cast<HWND>(wp));
        } catch (...) {
        }
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

void DialogDriver::OnActivate(HWND window) {
    if (ClassName(window) != L"#32770" ||
        std::any_of(m_seen.begin(), m_seen.end(), [window](const SeenDialog& s) { return s.window == window; }))
        return;
    SeenDialog seen{window, ::GetWindow(window, GW_OWNER)};
    ::EnumChildWindows(window, [](HWND child, LPARAM lp) -> BOOL {
        reinterpret_cast<std::vector<SeenControl>*>(lp)->push_back({ClassName(child), Text(child), child});
        return TRUE;
    }, reinterpret_cast<LPARAM>(&seen.controls));
    for (const SeenControl& control : seen.controls) {
        if (!(::GetWindowLongW(control.window, GWL_STYLE) & WS_VISIBLE) || ::GetParent(control.window) != window)
            continue;
        if (_wcsicmp(control.className.c_str(), L"Static") == 0 && !control.text.empty())
            seen.message += (seen.message.empty() ? L"" : L"\n") + control.text;
        if (_wcsicmp(control.className.c_str(), L"Button") == 0)
            seen.buttons.push_back(::GetDlgCtrlID(control.window));
    }
    m_seen.push_back(seen);
    if (!m_answers.empty()) {
        Answer answer = std::move(m_answers.front());
        m_answers.pop_front();
        answer(seen);
    } else {
        Press(window, std::count(seen.buttons.begin(), seen.buttons.end(), IDOK) ? IDOK : IDCANCEL);
    }
}
