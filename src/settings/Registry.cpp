#include "settings/Registry.h"

#include <vector>

Registry::~Registry() {
    Close();
}

bool Registry::Open(HKEY parent, const wchar_t* subKey, REGSAM access, bool create) {
    Close();
    HKEY key = nullptr;
    if (create && subKey && *subKey) {
        DWORD disposition = 0;
        m_status = ::RegCreateKeyExW(parent, subKey, 0, const_cast<wchar_t*>(L""), REG_OPTION_NON_VOLATILE,
                                     access, nullptr, &key, &disposition);
    } else {
        m_status = ::RegOpenKeyExW(parent, subKey, 0, access, &key);
    }
    // The out-handle is only trusted on success.
    if (m_status == ERROR_SUCCESS)
        m_key.reset(key);
    return m_status == ERROR_SUCCESS;
}

bool Registry::QueryValue(const wchar_t* valueName, DWORD* type, void* data, DWORD* size) {
    m_status = ::RegQueryValueExW(m_key.get(), valueName, nullptr, type, static_cast<BYTE*>(data), size);
    return m_status == ERROR_SUCCESS;
}

bool Registry::GetString(const wchar_t* valueName, std::wstring& text) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (!QueryValue(valueName, &type, nullptr, &size))
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return false;

    // Stored strings need not end in a zero, and an odd size cuts the last character in half:
    // two spare characters beyond the data always leave the text terminated.
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
    DWORD read = size;
    if (!QueryValue(valueName, &type, buffer.data(), &read))
        return false;
    auto* bytes = reinterpret_cast<BYTE*>(buffer.data());
    const DWORD zeros = (read % 2) ? 3 : 2;
    for (DWORD i = 0; i < zeros; ++i)
        bytes[read + i] = 0;

    if (type == REG_SZ) {
        text.assign(buffer.data());
        return true;
    }
    if (type != REG_EXPAND_SZ)
        return false;

    const DWORD needed = ::ExpandEnvironmentStringsW(buffer.data(), nullptr, 0);
    if (needed == 0)
        return false;
    std::vector<wchar_t> expanded(needed, L'\0');
    if (::ExpandEnvironmentStringsW(buffer.data(), expanded.data(), needed) == 0)
        return false;
    text.assign(expanded.data());
    return true;
}

void Registry::Close() noexcept {
    if (HKEY key = m_key.release())
        m_status = ::RegCloseKey(key);
}
