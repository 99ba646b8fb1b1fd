// The program the test prefix associates with exported files: it writes down the command line
// it was started with, tells the test it runs, and ends when the test says so. Environment
// (inherited through the shell): LINEAGE_OPENER_LOG file the command line is appended to
// (UTF-8); LINEAGE_OPENER_STARTED event set once it is written; LINEAGE_OPENER_RELEASE event
// waited for (a minute at most) before ending; LINEAGE_OPENER_DELETE "1": delete the file.
#include <windows.h>
#include <string>
#include "base/ScopedHandle.h"

namespace {

std::wstring Setting(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD n = ::GetEnvironmentVariableW(name, value, 1024);
    return n < 1024 ? std::wstring(value, n) : std::wstring();
}

ScopedKernelHandle OpenNamedEvent(const wchar_t* variable) {
    const std::wstring name = Setting(variable);
    return ScopedKernelHandle(name.empty() ? nullptr : ::OpenEventW(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, name.c_str()));
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    const std::wstring line = std::wstring(commandLine) + L"\n";
    std::string utf8(line.size() * 3, '\0');
    utf8.resize(::WideCharToMultiByte(CP_UTF8, 0, line.data(), int(line.size()), utf8.data(), int(utf8.size()),
                                      nullptr, nullptr));
    ScopedFileHandle log(::CreateFileW(Setting(L"LINEAGE_OPENER_LOG").c_str(), FILE_APPEND_DATA,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (log)
        ::WriteFile(log.get(), utf8.data(), DWORD(utf8.size()), &written, nullptr);
    log.reset();
    if (ScopedKernelHandle started = OpenNamedEvent(L"LINEAGE_OPENER_STARTED"))
        ::SetEvent(started.get());
    if (ScopedKernelHandle release = OpenNamedEvent(L"LINEAGE_OPENER_RELEASE"))
        ::WaitForSingleObject(release.get(), 60000);
    std::wstring file = commandLine;
    if (Setting(L"LINEAGE_OPENER_DELETE") == L"1" && file.size() >= 2 && file.front() == L'"')
        ::DeleteFileW(file.substr(1, file.size() - 2).c_str());
    return 0;
}
