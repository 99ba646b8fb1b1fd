#pragma once
// Runs part of a test at another screen DPI: a process's DPI (HKCU "Control Panel\Desktop"
// LogPixels) is fixed when it starts, so the part runs as a disabled test in a child process.
#include <string>

namespace lineage_test {

// Runs `testName` ("Suite.DISABLED_Case") in a child started at `dpi`; true when it passed.
// The child must call ChildDpi(): a run that never did counts as failed.
bool RunTestAtDpi(int dpi, const std::string& testName);

// The DPI this process was started at by RunTestAtDpi; 0 when it was not started by it.
int ChildDpi();

} // namespace lineage_test
