#include "framework/ActivationContext.h"

ScopedActivationContext::ScopedActivationContext(HMODULE module, WORD manifestId) noexcept {
    ACTCTXW context{};
    context.cbSize = sizeof(context);
    context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.hModule = module;
    context.lpResourceName = MAKEINTRESOURCEW(manifestId);
    m_context = ::CreateActCtxW(&context);
    if (m_context != INVALID_HANDLE_VALUE && !::ActivateActCtx(m_context, &m_cookie))
        m_cookie = 0;
}

ScopedActivationContext::~ScopedActivationContext() {
    if (m_cookie)
        ::DeactivateActCtx(0, m_cookie);
    if (m_context != INVALID_HANDLE_VALUE)
        ::ReleaseActCtx(m_context);
}
