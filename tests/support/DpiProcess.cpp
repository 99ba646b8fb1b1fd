#include "DpiProcess.h"
#include <windows.h>
#include "base/ModulePath.h"
#include "base/ScopedHandle.h"

namespace lineage_test {

namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kDpiValue[] = L"LogPixels";
constexpr wchar_t kChildVariable[] = L"LINEAGE_CHILD_DPI";
// Set by the child when it asks for its DPI: a filter that matched no test passes vacuously.
constexpr wchar_t kRanVariable[] = L"LINEAGE_CHILD_RAN";
constexpr DWORD kChildTimeoutMs = 120000;

// Sets LogPixels for the processes started while it lives, and puts the previous state back.
class DpiSetting {
public:
    explicit DpiSetting(DWORD dpi) {
        ::RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                          m_key.put(), nullptr);
        DWORD size = sizeof(m_previous);
        m_hadValue = ::RegQueryValueExW(m_key.get(), kDpiValue, nullptr, nullptr,
                                        reinterpret_cast<BYTE*>(&m_previous), &size) == ERROR_SUCCESS;
        ::RegSetValueExW(m_key.get(), kDpiValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));
    }
    DpiSetting(const DpiSetting&) = delete;
    DpiSetting& operator=(const DpiSetting&) = delete;
    ~DpiSetting() {
        if (m_hadValue)
            ::RegSetValueExW(m_key.get(), kDpiValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&m_previous),
                             sizeof(m_previous));
        else
            ::RegDeleteValueW(m_key.get(), kDpiValue);
    }

private:
    ScopedHKEY m_key;
    DWORD m_previous = 0;
    bool m_hadValue = false;
};

} // namespace

bool RunTestAtDpi(int dpi, const std::string& testName) {
    DpiSetting setting(static_cast<DWORD>(dpi));
    const std::wstring filter(testName.begin(), testName.end());
    std::wstring command = L"\"" + ModulePath(nullptr) + L"\" --gtest_brief=1 --gtest_also_run_disabled_tests "
                           L"--gtest_filter=" + filter;
    const std::wstring ranName = L"Lineage.DpiChild." + std::to_wstring(::GetCurrentProcessId()) + L"." +
                                 std::to_wstring(::GetTickCount64());
    ScopedKernelHandle ran(::CreateEventW(nullptr, TRUE, FALSE, ranName.c_str()));
    ::SetEnvironmentVariableW(kChildVariable, std::to_wstring(dpi).c_str());
    ::SetEnvironmentVariableW(kRanVariable, ranName.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                          &startup, &process);
    ::SetEnvironmentVariableW(kChildVariable, nullptr);
    ::SetEnvironmentVariableW(kRanVariable, nullptr);
    if (!started)
        return false;
    ScopedKernelHandle processHandle(process.hProcess);
    ScopedKernelHandle threadHandle(process.hThread);
    DWORD exitCode = 1;
    if (::WaitForSingleObject(process.hProcess, kChildTimeoutMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 1);
        return false;
    }
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    return exitCode == 0 && ::WaitForSingleObject(ran.get(), 0) == WAIT_OBJECT_0;
}

int ChildDpi() {
    wchar_t value[16] = L"";
    if (!::GetEnvironmentVariableW(kChildVariable, value, 16))
        return 0;
    wchar_t ranName[64] = L"";
    if (::GetEnvironmentVariableW(kRanVariable, ranName, 64)) {
        ScopedKernelHandle ran(::OpenEventW(EVENT_MODIFY_STATE, FALSE, ranName));
        if (ran)
            ::SetEvent(ran.get());
    }
    return _wtoi(value);
}

} // namespace lineage_test
