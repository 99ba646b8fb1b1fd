#pragma once
// Runs part of a test at another screen DPI: a process's DPI (HKCU "Control Panel\Desktop"
// LogPixels) is fixed when it starts, so the part runs as a disabled test in a child process.
#include <windows.h>
#include <string>
#include "ChildProcess.h"

namespace lineage_test {

// Runs `testName` ("Suite.DISABLED_Case") in a child started at `dpi`; true when it passed.
// The child must call ChildDpi(): a run that never did counts as failed.
inline bool RunTestAtDpi(int dpi, const std::string& testName) {
    ::SetEnvironmentVariableW(L"LINEAGE_CHILD_DPI", std::to_wstring(dpi).c_str());
    const bool passed = RunTestInChild(testName, {UserSetting::Number(L"Control Panel\\Desktop", L"LogPixels", dpi)});
    ::SetEnvironmentVariableW(L"LINEAGE_CHILD_DPI", nullptr);
    return passed;
}

// The DPI this process was started at by RunTestAtDpi; 0 when it was not started by it.
inline int ChildDpi() {
    wchar_t value[16] = L"";
    return ::GetEnvironmentVariableW(L"LINEAGE_CHILD_DPI", value, 16) && IsTestChild() ? _wtoi(value) : 0;
}

} // namespace lineage_test
