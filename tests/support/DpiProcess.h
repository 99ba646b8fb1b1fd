#pragma once
// A process's DPI (HKCU "Control Panel\Desktop" LogPixels) is fixed when it starts: DPI tests run in a child.
#include <windows.h>
#include <string>
#include "ChildProcess.h"

namespace lineage_test {

// The child must call ChildDpi(): a run that never did counts as failed.
inline bool RunTestAtDpi(int dpi, const std::string& testName) {
    ::SetEnvironmentVariableW(L"LINEAGE_CHILD_DPI", std::to_wstring(dpi).c_str());
    const bool passed = RunTestInChild(testName, {UserSetting::Number(L"Control Panel\\Desktop", L"LogPixels", dpi)});
    ::SetEnvironmentVariableW(L"LINEAGE_CHILD_DPI", nullptr);
    return passed;
}

// 0 when this process was not started by RunTestAtDpi.
inline int ChildDpi() {
    wchar_t value[16] = L"";
    return ::GetEnvironmentVariableW(L"LINEAGE_CHILD_DPI", value, 16) && IsTestChild() ? _wtoi(value) : 0;
}

} // namespace lineage_test
