#pragma once
// A process's DPI (HKCU "Control Panel\Desktop" LogPixels) is fixed when it starts: DPI tests run in a child.
#include <windows.h>
#include <string>
#include "ChildProcess.h"

namespace lineage_test {

// The child must call ChildDpi(): a run that never did counts as failed.
inline bool RunTestAtDpi(int dpi, const std::string& testName) {
    return RunTestInChild(testName, {UserSetting::Number(L"Control Panel\\Desktop", L"LogPixels", dpi)});
}

// 0 when this process was not started by RunTestAtDpi.
inline int ChildDpi() {
    DWORD dpi = 0, size = sizeof(dpi);
    return IsTestChild() && !::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels",
                                            RRF_RT_REG_DWORD, nullptr, &dpi, &size) ? int(dpi) : 0;
}

} // namespace lineage_test
