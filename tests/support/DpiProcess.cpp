#include "DpiProcess.h"
#include <windows.h>
#include "ChildProcess.h"

namespace lineage_test {

bool RunTestAtDpi(int dpi, const std::string& testName) {
    ::SetEnvironmentVariableW(L"LINEAGE_CHILD_DPI", std::to_wstring(dpi).c_str());
    const bool passed = RunTestInChild(testName, {UserSetting::Number(L"Control Panel\\Desktop", L"LogPixels", DWORD(dpi))});
    ::SetEnvironmentVariableW(L"LINEAGE_CHILD_DPI", nullptr);
    return passed;
}

int ChildDpi() {
    wchar_t value[16] = L"";
    return ::GetEnvironmentVariableW(L"LINEAGE_CHILD_DPI", value, 16) && IsTestChild() ? _wtoi(value) : 0;
}

} // namespace lineage_test
