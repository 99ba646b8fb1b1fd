#pragma once
// Runs part of a test in a new process of the same test executable, started while some of the
// user's registry values are set: Windows and Wine read some settings (screen DPI, visual
// styles) once when a process starts. Write the part as a disabled test (DISABLED_ prefix).
#include <windows.h>
#include <string>
#include <vector>

namespace lineage_test {

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
};

// Runs `testName` ("Suite.DISABLED_Case") in a child process with `settings` in place; true when
// it passed (its failures show on this process's output). A child that never called IsTestChild()
// counts as failed, so a misspelt name cannot pass.
bool RunTestInChild(const std::string& testName, const std::vector<UserSetting>& settings);

// True in a process started by RunTestInChild.
bool IsTestChild();

} // namespace lineage_test
