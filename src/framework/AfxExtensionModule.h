#pragma once
#include <windows.h>

// An extension module shares the host's framework state and adds its resources to the
// framework's resource search while it is loaded.
struct AFX_EXTENSION_MODULE {
    bool bInitialized = false;
    HMODULE hModule = nullptr;
    HMODULE hResource = nullptr;
};

// Called from DllMain on process attach; records the module's instance handle.
[[nodiscard]] bool AfxInitExtensionModule(AFX_EXTENSION_MODULE& module, HMODULE instance) noexcept;
// Called from DllMain on process detach; takes the module out of the resource search.
void AfxTermExtensionModule(AFX_EXTENSION_MODULE& module) noexcept;

// Joins an initialised extension module to the resource search for its lifetime.
class CDynLinkLibrary {
public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& module) noexcept;
    CDynLinkLibrary(const CDynLinkLibrary&) = delete;
    CDynLinkLibrary& operator=(const CDynLinkLibrary&) = delete;
    ~CDynLinkLibrary();
    HMODULE m_hModule;
    HMODULE m_hResource;
};
