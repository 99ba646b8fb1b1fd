#pragma once
// What the host tests share: a scratch folder, and a program run with its error output captured.
#include <windows.h>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include "DialogSession.h"
#include "base/ScopedHandle.h"
#include "common/TextEncoding.h"

namespace host_test {

namespace fs = std::filesystem;

// A new folder below the temporary folder; removed with its content when the object goes.
class TempFolder {
public:
    TempFolder() { fs::remove_all(m_path), fs::create_directories(m_path); }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const fs::path& path() const { return m_path; }
    // Writes `bytes` to `name` below the folder, making its sub folders; answers the full path.
    std::wstring Write(const fs::path& name, const std::string& bytes) const {
        fs::create_directories((m_path / name).parent_path());
        std::ofstream(m_path / name, std::ios::binary) << bytes;
        return (m_path / name).wstring();
    }

private:
    static inline std::atomic<int> s_count{0};
    const fs::path m_path = fs::temp_directory_path() / (L"lineage-host-" + std::to_wstring(::GetCurrentProcessId()) +
                                                         L"-" + std::to_wstring(++s_count));
};

struct ProgramRun {
    bool exited = false;  // false: still running at the time limit, then terminated
    DWORD exitCode = 0;
    std::string errors;  // what it wrote to stderr
};

// Runs a command line, with `whileRunning` called once it started; waits for its end.
inline ProgramRun RunProgram(std::wstring commandLine,
                             const std::function<void(const PROCESS_INFORMATION&)>& whileRunning = nullptr) {
    // Wine's desktop process, started by the first program that needs it, would keep the child's
    // error pipe open for good: asked for here first, it is this process's.
    ::GetDesktopWindow();
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    ScopedKernelHandle read, write;
    ProgramRun run;
    if (!::CreatePipe(read.put(), write.put(), &inherit, 1 << 16))
        return run;
    ::SetHandleInformation(read.get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {sizeof(startup)};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdError = write.get();
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return run;
    ScopedKernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
    write.reset();  // reading ends when the child, the last writer, exits
    if (whileRunning)
        whileRunning(process);
    run.exited = ::WaitForSingleObject(processHandle.get(), 30000) == WAIT_OBJECT_0;
    if (!run.exited)
        ::TerminateProcess(processHandle.get(), 255);
    ::GetExitCodeProcess(processHandle.get(), &run.exitCode);
    char buffer[4096];
    for (DWORD got = 0; ::ReadFile(read.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0;)
        run.errors.append(buffer, got);
    return run;
}

} // namespace host_test
