#include "HostTestSupport.h"
#include <atomic>
#include <stdexcept>
#include "base/ScopedHandle.h"

namespace fs = std::filesystem;

namespace host_test {

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    m_path = fs::temp_directory_path() /
             (L"lineage-host-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
    fs::remove_all(m_path);
    fs::create_directories(m_path);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

std::wstring TempFolder::Write(const fs::path& name, const std::string& bytes) const {
    const fs::path full = m_path / name;
    fs::create_directories(full.parent_path());
    ScopedFileHandle file(::CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        throw std::runtime_error("cannot write the test file");
    return full.wstring();
}

fs::path BinFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

std::wstring QuoteArgument(const std::wstring& argument) {
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes are literal unless a quote follows them.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    return quoted.append(backslashes * 2, L'\\') + L"\"";
}

namespace {

// A pipe whose write end the child inherits; big enough for anything the programs under test write.
void MakeOutputPipe(ScopedKernelHandle& read, ScopedKernelHandle& write) {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    if (!::CreatePipe(read.put(), write.put(), &inherit, 1 << 16))
        throw std::runtime_error("cannot make a pipe");
    ::SetHandleInformation(read.get(), HANDLE_FLAG_INHERIT, 0);
}

std::string ReadAll(HANDLE pipe) {
    std::string text;
    char buffer[4096];
    for (DWORD read = 0; ::ReadFile(pipe, buffer, sizeof(buffer), &read, nullptr) && read > 0;)
        text.append(buffer, read);
    return text;
}

} // namespace

ProgramRun RunProgram(const fs::path& program, const std::wstring& arguments) {
    // Wine starts its desktop process from the first program that needs it when none is running;
    // started from the child, it keeps the child's inherited output pipes open and reading them
    // never ends. Asked for here first, the desktop stays up while this process runs.
    ::GetDesktopWindow();
    ScopedKernelHandle outRead, outWrite, errRead, errWrite;
    MakeOutputPipe(outRead, outWrite);
    MakeOutputPipe(errRead, errWrite);
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    ScopedFileHandle input(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                         OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup = {sizeof(startup)};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = outWrite.get();
    startup.hStdError = errWrite.get();
    std::wstring commandLine = QuoteArgument(program.wstring()) + L" " + arguments;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &process))
        throw std::runtime_error("cannot start " + WideToUtf8(program.wstring()));
    ScopedKernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
    // Only the child holds the write ends now: reading ends when it exits.
    outWrite.reset();
    errWrite.reset();
    ProgramRun run;
    run.exited = ::WaitForSingleObject(processHandle.get(), 30000) == WAIT_OBJECT_0;
    if (!run.exited)
        ::TerminateProcess(processHandle.get(), 255);
    ::GetExitCodeProcess(processHandle.get(), &run.exitCode);
    run.standardOutput = ReadAll(outRead.get());
    run.standardError = ReadAll(errRead.get());
    return run;
}

} // namespace host_test
