#pragma once
// What the host tests share: a scratch folder, and a program run with its error output captured.
#include <windows.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include "DialogSession.h"
#include "base/ScopedHandle.h"
#include "common/TextEncoding.h"

namespace host_test {
namespace fs = std::filesystem;

// A vault as a user writes one: a relative root, a shared file, a branch without date or files.
constexpr char kVault[] = R"({"name": "Engineering", "root": "files\\", "documents": [
  {"id": 11, "folderId": 3, "name": "bracket.bfprt", "folder": "Parts\\"},
  {"id": 21, "folderId": 4, "name": "Bj\u00f6rn.BFPRT", "folder": "Release 2\\Parts\\"}],
  "branches": [{"id": 7, "name": "Release 2", "creator": "anna", "created": "1987-11-23T14:45:56", "files": [
      {"sourceDocId": 11, "sourceFolderId": 3, "branchDocId": 21, "branchFolderId": 4, "sourceName": "bracket.bfprt",
       "branchName": "b.bfprt", "sourceFolder": "Parts\\", "branchFolder": "Release 2\\Parts\\", "shared": true},
      {"sourceDocId": 12, "sourceFolderId": 5, "branchDocId": 22, "branchFolderId": 6, "sourceName": "Makefile",
       "branchName": "Makefile", "sourceFolder": "Docs\\", "branchFolder": "Release 2\\Docs\\"}]},
    {"id": 8, "name": "Customer B", "creator": "bj\u00f6rn", "files": []}]})";

// A new folder below the temporary folder, one at a time; removed with its content when the object goes.
struct TempFolder {
    TempFolder() {
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~TempFolder() { fs::remove_all(m_path, m_ignored); }
    const fs::path& path() const { return m_path; }
    std::wstring Write(const fs::path& name, const std::string& bytes) const {
        fs::create_directories((m_path / name).parent_path());
        std::ofstream(m_path / name, std::ios::binary) << bytes;
        return (m_path / name).wstring();
    }

    std::error_code m_ignored;
    const fs::path m_path = fs::temp_directory_path() / (L"lineage-host-" + std::to_wstring(::GetCurrentProcessId()));
};

struct ProgramRun {
    bool exited = false;  // false: still running at the time limit, then terminated
    DWORD exitCode = 0;
    std::string errors;   // what it wrote to stderr
};

inline ProgramRun RunProgram(std::wstring commandLine,
                             const std::function<void(const PROCESS_INFORMATION&)>& whileRunning = nullptr) {
    // Wine's desktop process, when the child starts it, would keep the child's error pipe open for good.
    ::GetDesktopWindow();
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    ScopedKernelHandle read, write;
    ProgramRun run;
    STARTUPINFOW startup = {sizeof(startup)};
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION process = {};
    const auto start = [&] {
        return ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                &process);
    };
    // A start refused once is tried again; a second refusal leaves its error in the run's text.
    if (!::CreatePipe(read.put(), write.put(), &inherit, 1 << 16) ||
        !::SetHandleInformation(read.get(), HANDLE_FLAG_INHERIT, 0) || !(startup.hStdError = write.get()) ||
        (!start() && !start())) {
        run.errors = "not started, error " + std::to_string(::GetLastError());
        return run;
    }
    const ScopedKernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
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
