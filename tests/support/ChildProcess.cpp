#include "ChildProcess.h"
#include <memory>
#include "base/ModulePath.h"
#include "base/ScopedHandle.h"

namespace lineage_test {

namespace {

// Set by the child when it asks whether it is one: a filter that matched no test passes vacuously.
constexpr wchar_t kRanVariable[] = L"LINEAGE_CHILD_RAN";

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
        ::RegSetValueExW(m_key.get(), m_name.c_str(), 0, setting.type, setting.data.data(), DWORD(setting.data.size()));
    }
    SettingInPlace(const SettingInPlace&) = delete;
    SettingInPlace& operator=(const SettingInPlace&) = delete;
    ~SettingInPlace() {
        if (m_hadValue)
            ::RegSetValueExW(m_key.get(), m_name.c_str(), 0, m_type, m_previous.data(), DWORD(m_previous.size()));
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

UserSetting Bytes(const wchar_t* key, const wchar_t* name, DWORD type, const void* data, size_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    return {key, name, type, std::vector<BYTE>(bytes, bytes + size)};
}

} // namespace

UserSetting UserSetting::Text(const wchar_t* key, const wchar_t* name, const std::wstring& value) {
    return Bytes(key, name, REG_SZ, value.c_str(), (value.size() + 1) * sizeof(wchar_t));
}

UserSetting UserSetting::Number(const wchar_t* key, const wchar_t* name, DWORD value) {
    return Bytes(key, name, REG_DWORD, &value, sizeof(value));
}

bool RunTestInChild(const std::string& testName, const std::vector<UserSetting>& settings) {
    std::vector<std::unique_ptr<SettingInPlace>> inPlace;
    for (const UserSetting& setting : settings)
        inPlace.push_back(std::make_unique<SettingInPlace>(setting));
    std::wstring command = L"\"" + ModulePath(nullptr) + L"\" --gtest_brief=1 --gtest_also_run_disabled_tests "
                           L"--gtest_filter=" + std::wstring(testName.begin(), testName.end());
    const std::wstring ranName = L"Lineage.TestChild." + std::to_wstring(::GetCurrentProcessId()) + L"." +
                                 std::to_wstring(::GetTickCount64());
    ScopedKernelHandle ran(::CreateEventW(nullptr, TRUE, FALSE, ranName.c_str()));
    ::SetEnvironmentVariableW(kRanVariable, ranName.c_str());
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                          &startup, &process);
    ::SetEnvironmentVariableW(kRanVariable, nullptr);
    if (!started)
        return false;
    ScopedKernelHandle processHandle(process.hProcess);
    ScopedKernelHandle threadHandle(process.hThread);
    if (::WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0) {
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
