#pragma once
// A DDE server on a thread of its own: a program that is already running and takes files by
// DDE, so the shell opens a file without starting a process.
#include <windows.h>
#include <string>
#include <thread>
#include "base/ScopedHandle.h"

class DdeServer {
public:
    explicit DdeServer(const wchar_t* service);
    DdeServer(const DdeServer&) = delete;
    DdeServer& operator=(const DdeServer&) = delete;
    ~DdeServer();

    bool Ready() const { return m_ready; }
    // The first command executed on the server; empty when none came within `timeoutMs`.
    std::wstring WaitForCommand(DWORD timeoutMs) const;

private:
    void Run(const wchar_t* service);

    ScopedKernelHandle m_started{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    bool m_ready = false;
    DWORD m_threadId = 0;
    std::thread m_thread;
};
