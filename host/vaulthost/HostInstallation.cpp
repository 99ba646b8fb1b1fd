#include "HostInstallation.h"
#include <windows.h>
#include "base/ScopedHandle.h"
#include "contracts/Glyphset.h"

void RegisterInstallationIfMissing(const std::wstring& folder) noexcept {
    ScopedHKEY key;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kHostProductKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                          key.put(), nullptr) != ERROR_SUCCESS ||
        ::RegQueryValueExW(key.get(), kHostLocationValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key.get(), kHostLocationValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                     static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
}
