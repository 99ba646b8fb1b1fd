#pragma once
// The module's one lock: a critical section, re-entrant on its owning thread, and the guard that
// holds it for a scope. No std::mutex: its winpthreads implementation misbehaves in a DLL whose
// threads the host creates and ends (docs/platform.md).
#include <windows.h>

class CCriticalSection {
public:
    CCriticalSection() noexcept { ::InitializeCriticalSection(&m_section); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;
    ~CCriticalSection() { ::DeleteCriticalSection(&m_section); }

    void Lock() noexcept { ::EnterCriticalSection(&m_section); }
    void Unlock() noexcept { ::LeaveCriticalSection(&m_section); }

private:
    CRITICAL_SECTION m_section;
};

class CSingleLock {
public:
    explicit CSingleLock(CCriticalSection& section) noexcept : m_section(section) { m_section.Lock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;
    ~CSingleLock() { m_section.Unlock(); }

private:
    CCriticalSection& m_section;
};
