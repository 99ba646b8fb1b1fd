#include "ExportHarness.h"
#include <gtest/gtest.h>
#include <algorithm>
#include "HostInstallation.h"

namespace {

constexpr wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kPendingRenames[] = L"PendingFileRenameOperations";

// The tests' thread is a single-threaded apartment, as the host's UI thread is; the toolbar's
// pictures come through the host's registered installation; restart deletions are put back.
const HRESULT g_com = ::CoInitialize(nullptr);
::testing::Environment* const g_installation = ::testing::AddGlobalTestEnvironment(new HostInstallation);
const ScopedRegistryValue g_pending(HKEY_LOCAL_MACHINE, kSessionManager, kPendingRenames, nullptr);

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

} // namespace

bool MarkedForDeleteAtRestart(const std::wstring& path) {
    std::wstring data(65536, L'\0');
    DWORD size = DWORD(data.size() * sizeof(wchar_t));
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPendingRenames, RRF_RT_REG_MULTI_SZ, nullptr, data.data(),
                       &size) != ERROR_SUCCESS)
        return false;
    // Pairs of an NT path and a target, empty for "delete".
    const std::wstring entry = L'\0' + (L"\\??\\" + path) + L'\0' + L'\0';
    return (L'\0' + data.substr(0, size / sizeof(wchar_t))).find(entry) != std::wstring::npos;
}

LRESULT CALLBACK DialogDriver::CbtHook(int code, WPARAM wp, LPARAM lp) noexcept {
    const HWND window = reinterpret_cast<HWND>(wp);
    DialogDriver* driver = s_driver;
    auto seenBefore = [&](const SeenDialog& s) { return s.window == window; };
    if (code != HCBT_ACTIVATE || !driver || ClassName(window) != L"#32770" ||
        std::any_of(driver->m_seen.begin(), driver->m_seen.end(), seenBefore))
        return ::CallNextHookEx(nullptr, code, wp, lp);
    SeenDialog& seen = driver->m_seen.emplace_back(SeenDialog{window, ::GetWindow(window, GW_OWNER)});
    ::EnumChildWindows(window, [](HWND child, LPARAM lp) -> BOOL {
        reinterpret_cast<SeenDialog*>(lp)->controls.emplace_back(ClassName(child), child);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&seen));
    seen.message = lineage_test::WindowText(::GetDlgItem(window, 0xFFFF));  // a message box's text
    if (driver->m_answers.empty()) {
        Press(window, IDOK);
    } else {
        const Answer answer = std::move(driver->m_answers.front());
        driver->m_answers.pop_front();
        answer(seen);
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}
