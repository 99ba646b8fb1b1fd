#pragma once
// One open registry key and the status of the last registry call made through it.
#include <windows.h>
#include <string>
#include "base/ScopedHandle.h"

class Registry {
public:
    static constexpr REGSAM kRead = KEY_READ;
    static constexpr REGSAM kReadWrite = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

    Registry() noexcept = default;
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;
    ~Registry();

    // Closes what is held, then opens parent\subKey; with `create` and a non-empty subKey,
    // missing keys are created. On failure nothing is held and Status() tells why.
    [[nodiscard]] bool Open(HKEY parent, const wchar_t* subKey, REGSAM access, bool create);

    // Reads a REG_SZ or REG_EXPAND_SZ value (the latter expanded); an empty or null name reads
    // the default value. Any other type, or any failure, answers false and leaves `text` alone.
    [[nodiscard]] bool GetString(const wchar_t* valueName, std::wstring& text);

    // RegQueryValueExW on the held key; any of the outputs may be null. The result is kept as
    // the status; true on ERROR_SUCCESS.
    [[nodiscard]] bool QueryValue(const wchar_t* valueName, DWORD* type, void* data, DWORD* size);

    // Closes the held key (its result becomes the status); does nothing when none is held.
    void Close() noexcept;

    HKEY Key() const noexcept { return m_key.get(); }
    bool IsOpen() const noexcept { return static_cast<bool>(m_key); }
    LONG Status() const noexcept { return m_status; }

private:
    ScopedHKEY m_key;
    LONG m_status = ERROR_SUCCESS;
};
