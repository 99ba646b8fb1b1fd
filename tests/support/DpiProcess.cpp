#include "DpiProcess.h"
#include <windows.h>
#include "ChildProcess.h"

namespace lineage_test {

namespace {
constexpr wchar_t kChildVariable[] = L"LINEAGE_CHILD_DPI";
} // namespace

bool RunTestAtDpi(int dpi, const std::string& testName) {
    ::SetEnvironmentVariableW(kChildVariable, std::to_wstring(dpi).c_str());
    const bool passed = RunTestInChild(
        testName, {UserSetting::Number(L"Control Panel\\Desktop", L"LogPixels", static_cast<DWORD>(dpi))});
    ::SetEnvironmentVariableW(kChildVariable, nullptr);
    return passed;
}

int ChildDpi() {
    wchar_t value[16] = L"";
    if (!::GetEnvironmentVariableW(kChildVariable, value, 16) || !IsTestChild())
        return 0;
    return _wtoi(value);
}

} // namespace lineage_test
