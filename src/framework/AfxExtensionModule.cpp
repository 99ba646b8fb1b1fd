#include "framework/AfxExtensionModule.h"
#include "framework/AfxModuleState.h"
#include <algorithm>

bool AfxInitExtensionModule(AFX_EXTENSION_MODULE& module, HMODULE instance) noexcept {
    if (module.bInitialized)
        return true;
    module.hModule = instance;
    module.hResource = instance;
    module.bInitialized = true;
    return true;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& module) noexcept {
    // The module left the resource search with its CDynLinkLibrary.
    module.bInitialized = false;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& module) noexcept
    : m_hModule(module.hModule), m_hResource(module.hResource) {
    try {
        AfxGetModuleState()->m_extensionModules.push_back(m_hResource);
    } catch (...) {
        // Out of memory at load: the module's resources then need the explicit switch.
    }
}

CDynLinkLibrary::~CDynLinkLibrary() {
    auto& modules = AfxGetModuleState()->m_extensionModules;
    modules.erase(std::remove(modules.begin(), modules.end(), m_hResource), modules.end());
}
