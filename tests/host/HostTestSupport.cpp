#include "HostTestSupport.h"
#include "base/ScopedHandle.h"
#include <atomic>
#include <stdexcept>
#include <vector>

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

fs::path TempFolder::Write(const fs::path& name, const std::string& bytes) const {
    const fs::path full = m_path / name;
    fs::create_directories(full.parent_path());
    ScopedFileHandle file(::CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        throw std::runtime_error("cannot write the test file");
    return full;
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
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

namespace {

struct Pipe {
    ScopedKernelHandle read;
    ScopedKernelHandle write;  // inherited by the child
};

Pipe MakeOutputPipe() {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    Pipe pipe;
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    // Big enough for anything the programs under test write, so they never block on it.
    if (!::CreatePipe(&read, &write, &inherit, 1 << 16))
        throw std::runtime_error("cannot make a pipe");
    pipe.read.reset(read);
    pipe.write.reset(write);
    ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    return pipe;
}

std::string ReadAll(HANDLE pipe) {
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(pipe, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
}

} // namespace

ProgramRun RunProgram(const fs::path& program, const std::wstring& arguments, DWORD timeoutMs) {
    // A child that is first to need the desktop starts Wine's desktop process, which keeps the
    // child's output pipe open for as long as this process lives: start it from here first.
    ::GetDesktopWindow();
    Pipe output = MakeOutputPipe();
    Pipe error = MakeOutputPipe();
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    ScopedFileHandle input(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                         OPEN_EXISTING, 0, nullptr));

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = output.write.get();
    startup.hStdError = error.write.get();
    std::wstring commandLine = QuoteArgument(program.wstring()) + L" " + arguments;
    // Wine starts its desktop process from the first program that needs it when none is
    // running; started from the child, it keeps the child's inherited output pipes open and
    // reading them never ends. Asked for here first, the desktop stays up while this process runs.
    ::GetDesktopWindow();
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &process))
        throw std::runtime_error("cannot start " + WideToUtf8(program.wstring()));
    ScopedKernelHandle processHandle(process.hProcess);
    ScopedKernelHandle threadHandle(process.hThread);
    // Only the child holds the write ends now: reading ends when it exits.
    output.write.reset();
    error.write.reset();

    ProgramRun run;
    run.exited = ::WaitForSingleObject(processHandle.get(), timeoutMs) == WAIT_OBJECT_0;
    if (!run.exited)
        ::TerminateProcess(processHandle.get(), 255);
    ::GetExitCodeProcess(processHandle.get(), &run.exitCode);
    run.standardOutput = ReadAll(output.read.get());
    run.standardError = ReadAll(error.read.get());
    return run;
}

} // namespace host_test
