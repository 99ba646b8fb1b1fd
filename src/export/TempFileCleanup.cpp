#include "export/TempFileCleanup.h"

#include <process.h>

#include <memory>

#include "base/ScopedHandle.h"

namespace {

// The shell gave no process to wait for: the program it asked may still be reading the file,
// so it is given time to open it first.
constexpr DWORD kUnownedFileDelayMs = 6000;

struct CleanupRecord {
    ScopedKernelHandle process;
    std::wstring path;
};

void RemoveAfterUse(const CleanupRecord& record) noexcept {
    if (record.process) {
        ::WaitForSingleObject(record.process.get(), INFINITE);
        // The program ended but the file may still be held (a viewer it handed the file to):
        // leave it to the next restart rather than fail now.
        if (::GetFileAttributesW(record.path.c_str()) != INVALID_FILE_ATTRIBUTES)
            ::MoveFileExW(record.path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    } else {
        ::Sleep(kUnownedFileDelayMs);
        ::DeleteFileW(record.path.c_str());
    }
}

unsigned __stdcall CleanupThread(void* argument) noexcept {
    HMODULE self = nullptr;
    {
        std::unique_ptr<CleanupRecord> record(static_cast<CleanupRecord*>(argument));
        RemoveAfterUse(*record);
    }
    // The reference taken when the thread was started; released only here, on the way out,
    // because this code lives in the module being released.
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&CleanupThread), &self);
    ::FreeLibraryAndExitThread(self, 0);
}

}  // namespace

bool StartTempFileCleanup(HANDLE process, const std::wstring& path) {
    ScopedKernelHandle owned(process);
    auto record = std::make_unique<CleanupRecord>();
    record->process = std::move(owned);
    record->path = path;

    // The thread may outlive the dialog and the host's hold on this module.
    HMODULE self = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                              reinterpret_cast<LPCWSTR>(&CleanupThread), &self))
        return false;

    // _beginthreadex rather than _beginthread: its handle is ours to close, so leaving through
    // FreeLibraryAndExitThread does not leak it.
    ScopedKernelHandle thread(reinterpret_cast<HANDLE>(
        ::_beginthreadex(nullptr, 0, &CleanupThread, record.get(), 0, nullptr)));
    if (!thread) {
        ::FreeLibrary(self);
        return false;
    }
    record.release();
    return true;
}
