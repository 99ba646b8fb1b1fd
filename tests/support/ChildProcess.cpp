#include "ChildProcess.h"
#include "base/ModulePath.h"
#include "base/ScopedHandle.h"

namespace lineage_test {

namespace {

// Names the event a child sets when it asks whether it is one: a filter matching no test passes vacuously.
constexpr wchar_t kRanVariable[] = L"LINEAGE_CHILD_RAN";

UserSetting Current(const UserSetting& setting) {
    UserSetting now{setting.key, setting.name};
    DWORD size = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, now.key.c_str(), now.name.c_str(), RRF_RT_ANY, &now.type, nullptr, &size))
        return now;
    now.data.resize(size);
    ::RegGetValueW(HKEY_CURRENT_USER, now.key.c_str(), now.name.c_str(), RRF_RT_ANY, &now.type, now.data.data(), &size);
    return now;
}

void Put(const UserSetting& setting) {
    if (setting.type == REG_NONE)
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, setting.key.c_str(), setting.name.c_str());
    else
        ::RegSetKeyValueW(HKEY_CURRENT_USER, setting.key.c_str(), setting.name.c_str(), setting.type,
                          setting.data.data(), DWORD(setting.data.size()));
}

bool RunChild(const std::string& testName) {
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
    ScopedKernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
    DWORD exitCode = 1;
    if (::WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(process.hProcess, &exitCode);
    else
        ::TerminateProcess(process.hProcess, 1);
    return exitCode == 0 && ::WaitForSingleObject(ran.get(), 0) == WAIT_OBJECT_0;
}

} // namespace

bool RunTestInChild(const std::string& testName, const std::vector<UserSetting>& settings) {
    std::vector<UserSetting> previous;
    for (const UserSetting& setting : settings) {
        previous.push_back(Current(setting));
        Put(setting);
    }
    const bool passed = RunChild(testName);
    for (const UserSetting& setting : previous)
        Put(setting);
    return passed;
}

bool IsTestChild() {
    wchar_t ranName[64] = L"";
    ScopedKernelHandle ran(::GetEnvironmentVariableW(kRanVariable, ranName, 64)
                               ? ::OpenEventW(EVENT_MODIFY_STATE, FALSE, ranName) : nullptr);
    return ran && ::SetEvent(ran.get());
}

} // namespace lineage_test
