#pragma once
// Runs part of a test at another screen DPI. Windows and Wine fix a process's DPI when it
// starts (HKCU "Control Panel\Desktop" LogPixels), so the part runs in a new process of the same
// test executable: write it as a disabled test (DISABLED_ prefix) and run it from a normal one.
#include <string>

namespace lineage_test {

// Runs `testName` ("Suite.DISABLED_Case") of this executable in a child process started at `dpi`,
// and answers whether it passed. Its failures show on this process's output. The child must call
// ChildDpi(): a run that never asked for it counts as failed, so a misspelt name cannot pass.
bool RunTestAtDpi(int dpi, const std::string& testName);

// The DPI this process was started at by RunTestAtDpi; 0 when it was not started by it.
int ChildDpi();

} // namespace lineage_test
