#pragma once
// Runs part of a test, written as a disabled test, in a new process of the same test executable
// started while some of the user's registry values are set: Windows and Wine read some settings
// (screen DPI, visual styles) once when a process starts.
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

// True when "Suite.DISABLED_Case" passed in the child; a child that never called IsTestChild() fails,
// so a misspelt name cannot pass.
bool RunTestInChild(const std::string& testName, const std::vector<UserSetting>& settings);
bool IsTestChild();

} // namespace lineage_test
