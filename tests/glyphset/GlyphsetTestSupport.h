#pragma once
// What the icon library's tests share: the build's folder, child processes, the host's "Location".
#include <windows.h>
#include <string>
#include "base/ModulePath.h"
#include "base/ScopedHandle.h"
#include "contracts/Glyphset.h"

namespace glyphset_test {

// The test executable's folder, the build's bin folder, with a trailing backslash.
inline std::wstring BinFolder() { return FolderOf(ModulePath(nullptr)); }

// Runs a command line; its exit code, or -1 when it did not start or end within two minutes.
inline DWORD RunProcess(std::wstring commandLine) {
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    DWORD exitCode = static_cast<DWORD>(-1);
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ScopedKernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
        if (::WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
            ::GetExitCodeProcess(process.hProcess, &exitCode);
    }
    return exitCode;
}

// The host's installation folder ("Location"; null: no value) while this lives.
class LocationValue {
public:
    explicit LocationValue(const wchar_t* folder) : m_had(Get(m_previous)) { Set(folder); }
    ~LocationValue() { Set(m_had ? m_previous : nullptr); }
    static bool Get(wchar_t (&folder)[MAX_PATH]) {
        DWORD size = sizeof(folder);
        return !::RegGetValueW(HKEY_LOCAL_MACHINE, kHostProductKey, kHostLocationValue, RRF_RT_REG_SZ, nullptr, folder,
                               &size);
    }
    static void Set(const wchar_t* folder) {
        if (!folder)
            ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kHostProductKey, kHostLocationValue);
        else
            ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kHostProductKey, kHostLocationValue, REG_SZ, folder,
                              static_cast<DWORD>((wcslen(folder) + 1) * sizeof(wchar_t)));
    }

private:
    wchar_t m_previous[MAX_PATH] = L"";
    bool m_had;
};

} // namespace glyphset_test
