#pragma once
#include <windows.h>

// Activates the manifest embedded in a module (resource type 24, id 2) for a scope, so that
// windows made inside it get the common controls the manifest asks for. Without the
// manifest the scope does nothing and the process's default context applies.
class ScopedActivationContext {
public:
    explicit ScopedActivationContext(HMODULE module, WORD manifestId = 2) noexcept;
    ScopedActivationContext(const ScopedActivationContext&) = delete;
    ScopedActivationContext& operator=(const ScopedActivationContext&) = delete;
    ~ScopedActivationContext();
    bool IsActive() const noexcept { return m_cookie != 0; }

private:
    HANDLE m_context = INVALID_HANDLE_VALUE;
    ULONG_PTR m_cookie = 0;
};
