#pragma once
// Removal of a temporary file that another program was started on.
#include <windows.h>
#include <string>

// Starts a short-lived thread that takes over `process` (may be null) and removes `path`
// when that program is done with it: once the process has ended, a file still present is
// marked for deletion at the next restart; without a process the file is deleted after six
// seconds. The thread keeps this module loaded until it ends. False when no thread could be
// started; `process` is closed then and the file left alone.
[[nodiscard]] bool StartTempFileCleanup(HANDLE process, const std::wstring& path);
