#pragma once
// Runs part of a test, written as a disabled test, in a new process of the same test executable
// started while some of the user's registry values are set: Windows and Wine read some settings
// (screen DPI, visual styles) once when a process starts.
#include <windows.h>
#include <string>
#include <vector>
#include "base/ModulePath.h"
#include "base/ScopedHandle.h"

namespace lineage_test {

// Names the event a child sets when it asks whether it is one: a filter matching no test passes vacuously.
constexpr wchar_t kRanVariable[] = L"LINEAGE_CHILD_RAN";

// A value under HKEY_CURRENT_USER, set for the child and put back as it was afterwards.
struct UserSetting {
    std::wstring key;
    std::wstring name;
    DWORD type = REG_NONE;  // REG_NONE: no value
    std::vector<BYTE> data;

    static UserSetting Text(const wchar_t* key, const wchar_t* name, const std::wstring& value) {
        const auto* bytes = reinterpret_cast<const BYTE*>(value.c_str());
        return {key, name, REG_SZ, {bytes, bytes + (value.size() + 1) * sizeof(wchar_t)}};
    }
    static UserSetting Number(const wchar_t* key, const wchar_t* name, DWORD value) {
        const auto* bytes = reinterpret_cast<const BYTE*>(&value);
        return {key, name, REG_DWORD, {bytes, bytes + sizeof(value)}};
    }
    UserSetting Exchange() const {  // answers the value this one replaces
        UserSetting previous{key, name};
        BYTE bytes[1024];
        DWORD size = sizeof(bytes);
        if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_ANY, &previous.type, bytes, &size))
            previous.type = REG_NONE;
        else
            previous.data.assign(bytes, bytes + size);
        if (type == REG_NONE)
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str());
        else
            ::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), type, data.data(), DWORD(data.size()));
        return previous;
    }
};

// True when "Suite.DISABLED_Case" passed in the child; a child that never called IsTestChild() fails,
// so a misspelt name cannot pass.
inline bool RunTestInChild(const std::string& testName, const std::vector<UserSetting>& settings) {
    std::vector<UserSetting> previous;
    for (const UserSetting& setting : settings)
        previous.push_back(setting.Exchange());
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
    ScopedKernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
    if (started && ::WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0)
        ::TerminateProcess(process.hProcess, 1);
    DWORD exitCode = 1;
    const bool passed = started && ::GetExitCodeProcess(process.hProcess, &exitCode) && exitCode == 0 &&
                        ::WaitForSingleObject(ran.get(), 0) == WAIT_OBJECT_0;
    for (auto setting = previous.rbegin(); setting != previous.rend(); ++setting)
        setting->Exchange();
    return passed;
}

inline bool IsTestChild() {
    wchar_t ranName[64] = L"";
    ScopedKernelHandle ran(::GetEnvironmentVariableW(kRanVariable, ranName, 64)
                               ? ::OpenEventW(EVENT_MODIFY_STATE, FALSE, ranName) : nullptr);
    return ran && ::SetEvent(ran.get());
}

} // namespace lineage_test
