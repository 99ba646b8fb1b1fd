#include "ChildProcess.h"
#include <memory>
#include "base/ModulePath.h"
#include "base/ScopedHandle.h"

namespace lineage_test {

namespace {

// Set by the child when it asks whether it is one: a filter that matched no test passes vacuously.
constexpr wchar_t kRanVariable[] = L"LINEAGE_CHILD_RAN";
constexpr DWORD kChildTimeoutMs = 120000;

// Sets one value while it lives and puts the previous state back.
class SettingInPlace {
public:
    explicit SettingInPlace(const UserSetting& setting) : m_name(setting.name) {
        ::RegCreateKeyExW(HKEY_CURRENT_USER, setting.key.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                          nullptr, m_key.put(), nullptr);
        DWORD size = 0;
        m_hadValue = ::RegQueryValueExW(m_key.get(), m_name.c_str(), nullptr, &m_type, nullptr, &size) == ERROR_SUCCESS;
        m_previous.resize(size);
        if (m_hadValue)
            ::RegQueryValueExW(m_key.get(), m_name.c_str(), nullptr, &m_type, m_previous.data(), &size);
        ::RegSetValueExW(m_key.get(), m_name.c_str(), 0, setting.type, setting.data.data(),
                         static_cast<DWORD>(setting.data.size()));
    }
    SettingInPlace(const SettingInPlace&) = delete;
    SettingInPlace& operator=(const SettingInPlace&) = delete;
    ~SettingInPlace() {
        if (m_hadValue)
            ::RegSetValueExW(m_key.get(), m_name.c_str(), 0, m_type, m_previous.data(),
                             static_cast<DWORD>(m_previous.size()));
        else
            ::RegDeleteValueW(m_key.get(), m_name.c_str());
    }

private:
    ScopedHKEY m_key;
    std::wstring m_name;
    DWORD m_type = REG_NONE;
    std::vector<BYTE> m_previous;
    bool m_hadValue = false;
};

} // namespace

UserSetting UserSetting::Text(const wchar_t* key, const wchar_t* name, const std::wstring& value) {
    const auto* bytes = reinterpret_cast<const BYTE*>(value.c_str());
    return {key, name, REG_SZ, std::vector<BYTE>(bytes, bytes + (value.size() + 1) * sizeof(wchar_t))};
}

UserSetting UserSetting::Number(const wchar_t* key, const wchar_t* name, DWORD value) {
    const auto* bytes = reinterpret_cast<const BYTE*>(&value);
    return {key, name, REG_DWORD, std::vector<BYTE>(bytes, bytes + sizeof(value))};
}

bool RunTestInChild(const std::string& testName, const std::vector<UserSetting>& settings) {
    std::vector<std::unique_ptr<SettingInPlace>> inPlace;
    for (const UserSetting& setting : settings)
        inPlace.push_back(std::make_unique<SettingInPlace>(setting));
    const std::wstring filter(testName.begin(), testName.end());
    std::wstring command = L"\"" + ModulePath(nullptr) + L"\" --gtest_brief=1 --gtest_also_run_disabled_tests "
                           L"--gtest_filter=" + filter;
    const std::wstring ranName = L"Lineage.TestChild." + std::to_wstring(::GetCurrentProcessId()) + L"." +
                                 std::to_wstring(::GetTickCount64());
    ScopedKernelHandle ran(::CreateEventW(nullptr, TRUE, FALSE, ranName.c_str()));
    ::SetEnvironmentVariableW(kRanVariable, ranName.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                          &startup, &process);
    ::SetEnvironmentVariableW(kRanVariable, nullptr);
    if (!started)
        return false;
    ScopedKernelHandle processHandle(process.hProcess);
    ScopedKernelHandle threadHandle(process.hThread);
    if (::WaitForSingleObject(process.hProcess, kChildTimeoutMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 1);
        return false;
    }
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    return exitCode == 0 && ::WaitForSingleObject(ran.get(), 0) == WAIT_OBJECT_0;
}

bool IsTestChild() {
    wchar_t ranName[64] = L"";
    if (!::GetEnvironmentVariableW(kRanVariable, ranName, 64))
        return false;
    ScopedKernelHandle ran(::OpenEventW(EVENT_MODIFY_STATE, FALSE, ranName));
    return ran && ::SetEvent(ran.get());
}

} // namespace lineage_test
