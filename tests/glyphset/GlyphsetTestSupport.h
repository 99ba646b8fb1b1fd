#pragma once
// What the icon library's tests share: the build's folder, child processes, the host's "Location".
#include <windows.h>
#include <string>
#include "base/ModulePath.h"
#include "base/ScopedHandle.h"

namespace glyphset_test {

// The test executable's folder, the build's bin folder, with a trailing backslash.
inline std::wstring BinFolder() { return FolderOf(ModulePath(nullptr)); }

// Runs a command line; its exit code, or -1 when it did not start or end within two minutes.
DWORD RunProcess(std::wstring commandLine);

// The host's installation folder ("Location"; null: no value) while this lives.
class LocationValue {
public:
    explicit LocationValue(const wchar_t* folder);
    LocationValue(const LocationValue&) = delete;
    LocationValue& operator=(const LocationValue&) = delete;
    ~LocationValue();
    void Set(const wchar_t* folder);

private:
    ScopedHKEY m_key;
    bool m_hadValue = false;
    std::wstring m_previous;
};

} // namespace glyphset_test
