#pragma once
// What the host tests share: scratch folders, the build's folder, and running a program with its
// output captured.
#include <windows.h>
#include <filesystem>
#include <string>
#include "SourceTree.h"
#include "common/TextEncoding.h"

namespace host_test {

// A new folder below the temporary folder; removed with its content when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    // Writes `bytes` to `name` below the folder, making its sub folders; answers the full path.
    std::wstring Write(const std::filesystem::path& name, const std::string& bytes) const;

private:
    std::filesystem::path m_path;
};

// The folder of the running test program, where the build puts every binary.
std::filesystem::path BinFolder();
// One argument quoted so that the program's argv gets it back unchanged.
std::wstring QuoteArgument(const std::wstring& argument);

struct ProgramRun {
    bool exited = false;  // false: still running at the time limit, then terminated
    DWORD exitCode = 0;
    std::string standardOutput, standardError;
};
// Runs `program` with `arguments` (already quoted), stdin empty, stdout and stderr captured.
ProgramRun RunProgram(const std::filesystem::path& program, const std::wstring& arguments);

} // namespace host_test
