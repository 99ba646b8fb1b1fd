// The program the test prefix associates with exported files: it writes down the command
// line it was started with, tells the test it is running, and ends when the test says so,
// so that a test decides when "the program the shell started" is done with the file.
//
// Environment (inherited from the test through the shell):
//   LINEAGE_OPENER_LOG      file the command line is appended to (UTF-8, one line)
//   LINEAGE_OPENER_STARTED  name of an event set once the command line is written
//   LINEAGE_OPENER_RELEASE  name of an event waited for (at most a minute) before ending
//   LINEAGE_OPENER_DELETE   when "1", the file named on the command line is deleted on the way out
#include <windows.h>

#include <string>

#include "base/ScopedHandle.h"

namespace {

constexpr DWORD kLongestWaitMs = 60000;

std::wstring Setting(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD n = ::GetEnvironmentVariableW(name, value, 1024);
    return n > 0 && n < 1024 ? std::wstring(value, n) : std::wstring();
}

void AppendLine(const std::wstring& path, const std::wstring& line) {
    const std::wstring text = line + L"\n";
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                            nullptr, nullptr);
    std::string utf8(bytes > 0 ? bytes : 0, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), bytes, nullptr,
                          nullptr);
    ScopedFileHandle file(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) ::WriteFile(file.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    const std::wstring log = Setting(L"LINEAGE_OPENER_LOG");
    if (!log.empty()) AppendLine(log, commandLine ? commandLine : L"");

    const std::wstring started = Setting(L"LINEAGE_OPENER_STARTED");
    if (!started.empty()) {
        ScopedKernelHandle event(::OpenEventW(EVENT_MODIFY_STATE, FALSE, started.c_str()));
        if (event) ::SetEvent(event.get());
    }
    const std::wstring release = Setting(L"LINEAGE_OPENER_RELEASE");
    if (!release.empty()) {
        ScopedKernelHandle event(::OpenEventW(SYNCHRONIZE, FALSE, release.c_str()));
        if (event) ::WaitForSingleObject(event.get(), kLongestWaitMs);
    }
    if (Setting(L"LINEAGE_OPENER_DELETE") == L"1" && commandLine) {
        std::wstring file = commandLine;
        if (file.size() >= 2 && file.front() == L'"' && file.back() == L'"') file = file.substr(1, file.size() - 2);
        ::DeleteFileW(file.c_str());
    }
    return 0;
}
