#pragma once
// The build's bin folder, with a trailing backslash, and the host's "Location".
#include <windows.h>
#include <string>
#include "base/ModulePath.h"
#include "base/ScopedHandle.h"
#include "contracts/Glyphset.h"

namespace glyphset_test {

inline std::wstring BinFolder() { return FolderOf(ModulePath(nullptr)); }

// The host's installation folder ("Location"; null: no value) while this lives.
class LocationValue {
public:
    explicit LocationValue(const wchar_t* folder) {
        DWORD size = sizeof(m_previous);
        m_had = !::RegGetValueW(HKEY_LOCAL_MACHINE, kHostProductKey, kHostLocationValue, RRF_RT_REG_SZ, nullptr,
                                m_previous, &size);
        Set(folder);
    }
    ~LocationValue() { Set(m_had ? m_previous : nullptr); }
    static void Set(const wchar_t* folder) {
        if (!folder)
            ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kHostProductKey, kHostLocationValue);
        else
            ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kHostProductKey, kHostLocationValue, REG_SZ, folder,
                              static_cast<DWORD>((wcslen(folder) + 1) * sizeof(wchar_t)));
    }

private:
    wchar_t m_previous[MAX_PATH] = L"";
    bool m_had = false;
};

} // namespace glyphset_test
