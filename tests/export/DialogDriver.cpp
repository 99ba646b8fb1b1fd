#include "DialogDriver.h"

namespace {

DialogDriver* g_driver = nullptr;

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

std::wstring Text(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(length + 1, L'\0');
    text.resize(::GetWindowTextW(window, text.data(), length + 1));
    return text;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM lp) {
    auto* controls = reinterpret_cast<std::vector<SeenControl>*>(lp);
    controls->push_back({ClassName(child), ::GetDlgCtrlID(child), Text(child),
                         (::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) != 0});
    return TRUE;
}

}  // namespace

std::vector<SeenControl> DescribeControls(HWND window) {
    std::vector<SeenControl> controls;
    ::EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&controls));
    return controls;
}

DialogDriver::DialogDriver() {
    g_driver = this;
    m_hook = ::SetWindowsHookExW(WH_CBT, CbtHook, nullptr, ::GetCurrentThreadId());
}

DialogDriver::~DialogDriver() {
    if (m_hook) ::UnhookWindowsHookEx(m_hook);
    g_driver = nullptr;
}

void DialogDriver::Press(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

void DialogDriver::PressDefault(const SeenDialog& dialog) {
    for (int id : dialog.buttons)
        if (id == IDOK) return Press(dialog.window, IDOK);
    Press(dialog.window, IDCANCEL);
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
    if (ClassName(window) != L"#32770" || !m_handled.insert(window).second) return;
    SeenDialog seen;
    seen.window = window;
    seen.owner = ::GetWindow(window, GW_OWNER);
    seen.caption = Text(window);
    seen.controls = DescribeControls(window);
    for (const SeenControl& control : seen.controls) {
        if (!control.visible || ::GetParent(::GetDlgItem(window, control.id)) != window) continue;
        if (_wcsicmp(control.className.c_str(), L"Static") == 0 && !control.text.empty())
            seen.message += (seen.message.empty() ? L"" : L"\n") + control.text;
        if (_wcsicmp(control.className.c_str(), L"Button") == 0) seen.buttons.push_back(control.id);
    }
    m_seen.push_back(seen);
    if (m_answers.empty()) {
        PressDefault(seen);
        return;
    }
    Answer answer = std::move(m_answers.front());
    m_answers.pop_front();
    answer(seen);
}
