// Stands in for Explorer.exe in the test prefix: writes the arguments it was started with to the
// file named by LINEAGE_EXPLORER_LOG, then wakes the test waiting on LineageExplorerRecorded.
#include <windows.h>
#include <cwchar>
#include "base/ScopedHandle.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t* arguments, int) {
    wchar_t log[MAX_PATH] = L"";
    const DWORD length = ::GetEnvironmentVariableW(L"LINEAGE_EXPLORER_LOG", log, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    ScopedFileHandle file(::CreateFileW(log, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.get(), arguments, static_cast<DWORD>(std::wcslen(arguments) * sizeof(wchar_t)),
                              &written, nullptr))
        return 1;
    file.reset();
    ScopedKernelHandle recorded(::OpenEventW(EVENT_MODIFY_STATE, FALSE, L"LineageExplorerRecorded"));
    return recorded && ::SetEvent(recorded.get()) ? 0 : 1;
}
