// The program the export tests associate with ".txt": appends its command line to the file
// LINEAGE_OPENER_LOG, sets the event "<LINEAGE_OPENER_EVENTS>-started" and waits (a minute at most)
// for "<LINEAGE_OPENER_EVENTS>-release".
#include <windows.h>
#include <string>
#include "base/ScopedHandle.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    auto setting = [](const wchar_t* name) { return std::wstring(_wgetenv(name) ? _wgetenv(name) : L""); };
    const std::wstring line = std::wstring(commandLine) + L"\n";
    std::string utf8(line.size() * 3, '\0');
    utf8.resize(::WideCharToMultiByte(CP_UTF8, 0, line.data(), int(line.size()), utf8.data(), int(utf8.size()),
                                      nullptr, nullptr));
    ScopedFileHandle log(::CreateFileW(setting(L"LINEAGE_OPENER_LOG").c_str(), FILE_APPEND_DATA,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(log.get(), utf8.data(), DWORD(utf8.size()), &written, nullptr);
    log.reset();
    const std::wstring events = setting(L"LINEAGE_OPENER_EVENTS");
    ::SetEvent(ScopedKernelHandle(::OpenEventW(EVENT_MODIFY_STATE, FALSE, (events + L"-started").c_str())).get());
    ::WaitForSingleObject(ScopedKernelHandle(::OpenEventW(SYNCHRONIZE, FALSE, (events + L"-release").c_str())).get(),
                          60000);
    return 0;
}
