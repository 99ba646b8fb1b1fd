#pragma once
// Automation values that free what they hold when they go out of scope.
#include <windows.h>
#include <oleauto.h>

class ScopedVariant {
public:
    ScopedVariant() noexcept { ::VariantInit(&m_v); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    ~ScopedVariant() { ::VariantClear(&m_v); }

    VARIANT* get() noexcept { return &m_v; }
    const VARIANT* get() const noexcept { return &m_v; }
    // Clears what is held; the out-pointer for calls that fill a VARIANT.
    VARIANT* put() noexcept {
        ::VariantClear(&m_v);
        return &m_v;
    }
    VARIANT release() noexcept {
        VARIANT v = m_v;
        ::VariantInit(&m_v);
        return v;
    }

private:
    VARIANT m_v;
};

// The exception record an automation call may fill: its three strings are the caller's to free.
class ScopedExcepInfo {
public:
    ScopedExcepInfo() noexcept : m_info{} {}
    ScopedExcepInfo(const ScopedExcepInfo&) = delete;
    ScopedExcepInfo& operator=(const ScopedExcepInfo&) = delete;
    ~ScopedExcepInfo() {
        ::SysFreeString(m_info.bstrSource);
        ::SysFreeString(m_info.bstrDescription);
        ::SysFreeString(m_info.bstrHelpFile);
    }
    EXCEPINFO* get() noexcept { return &m_info; }

private:
    EXCEPINFO m_info;
};
