#include "framework/AfxModuleState.h"

namespace {
// Until a host says otherwise, resources come from the process's executable.
AFX_MODULE_STATE g_moduleState{::GetModuleHandleW(nullptr), ::GetModuleHandleW(nullptr), {}};
}

AFX_MODULE_STATE* AfxGetModuleState() noexcept { return &g_moduleState; }

HINSTANCE AfxGetResourceHandle() noexcept { return AfxGetModuleState()->m_hCurrentResourceHandle; }

void AfxSetResourceHandle(HINSTANCE resource) noexcept {
    AfxGetModuleState()->m_hCurrentResourceHandle = resource;
}

HINSTANCE AfxFindResourceHandle(LPCWSTR name, LPCWSTR type) noexcept {
    AFX_MODULE_STATE* state = AfxGetModuleState();
    if (state->m_hCurrentResourceHandle && ::FindResourceW(state->m_hCurrentResourceHandle, name, type))
        return state->m_hCurrentResourceHandle;
    for (HINSTANCE module : state->m_extensionModules)
        if (::FindResourceW(module, name, type))
            return module;
    return nullptr;
}
