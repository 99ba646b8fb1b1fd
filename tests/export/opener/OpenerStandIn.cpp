// The program the export tests associate with ".txt": appends its command line to the file LINEAGE_OPENER_LOG,
// sets the event "<LINEAGE_OPENER_EVENTS>-started" and waits (a minute at most) for "<...>-release".
#include <windows.h>
#include <filesystem>
#include <fstream>
#include <string>
#include "base/ScopedHandle.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    std::ofstream(std::filesystem::path(_wgetenv(L"LINEAGE_OPENER_LOG")), std::ios::app | std::ios::binary)
        << std::filesystem::path(commandLine).u8string() << "\n";
    const std::wstring events = _wgetenv(L"LINEAGE_OPENER_EVENTS");
    ::SetEvent(ScopedKernelHandle(::OpenEventW(EVENT_MODIFY_STATE, FALSE, (events + L"-started").c_str())).get());
    ::WaitForSingleObject(ScopedKernelHandle(::OpenEventW(SYNCHRONIZE, FALSE, (events + L"-release").c_str())).get(),
                          60000);
    return 0;
}
