// Stands in for Explorer.exe in the test prefix: writes the arguments it was started with to the
// file named by LINEAGE_EXPLORER_LOG, then wakes the test waiting on LineageExplorerRecorded.
#include <windows.h>
#include <cwchar>
#include "base/ScopedHandle.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t* arguments, int) {
    wchar_t log[MAX_PATH] = L"";
    if (::GetEnvironmentVariableW(L"LINEAGE_EXPLORER_LOG", log, MAX_PATH) - 1 >= MAX_PATH - 1)
        return 1;
    DWORD written = 0;
    if (ScopedFileHandle file(::CreateFileW(log, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        !file || !::WriteFile(file.get(), arguments, std::wcslen(arguments) * sizeof(wchar_t), &written, nullptr))
        return 1;
    ScopedKernelHandle recorded(::OpenEventW(EVENT_MODIFY_STATE, FALSE, L"LineageExplorerRecorded"));
    return recorded && ::SetEvent(recorded.get()) ? 0 : 1;
}
