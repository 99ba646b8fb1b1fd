#pragma once
#include <windows.h>
#include <vector>

// Process-wide state of the window framework: which module resources are looked up in,
// and the extension modules that joined the resource search.
struct AFX_MODULE_STATE {
    HINSTANCE m_hCurrentInstanceHandle = nullptr;
    HINSTANCE m_hCurrentResourceHandle = nullptr;
    std::vector<HINSTANCE> m_extensionModules;  // searched after the current resource handle
};

AFX_MODULE_STATE* AfxGetModuleState() noexcept;
HINSTANCE AfxGetResourceHandle() noexcept;
void AfxSetResourceHandle(HINSTANCE resource) noexcept;

// The module that holds resource `name` of `type`: the current resource handle first, then the
// registered extension modules in registration order. Null when none has it.
HINSTANCE AfxFindResourceHandle(LPCWSTR name, LPCWSTR type) noexcept;

// Points the framework's resources at one module for a scope and puts the previous handle back.
class AfxResourceHandleScope {
public:
    explicit AfxResourceHandleScope(HINSTANCE resource) noexcept
        : m_saved(AfxGetResourceHandle()) { AfxSetResourceHandle(resource); }
    AfxResourceHandleScope(const AfxResourceHandleScope&) = delete;
    AfxResourceHandleScope& operator=(const AfxResourceHandleScope&) = delete;
    ~AfxResourceHandleScope() { AfxSetResourceHandle(m_saved); }
private:
    HINSTANCE m_saved;
};
