#include "GlyphsetTestSupport.h"
#include <cwchar>
#include "contracts/Glyphset.h"

namespace glyphset_test {

DWORD RunProcess(std::wstring commandLine) {
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return static_cast<DWORD>(-1);
    ScopedKernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
    DWORD exitCode = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(process.hProcess, &exitCode);
    return exitCode;
}

LocationValue::LocationValue(const wchar_t* folder) {
    ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kHostProductKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                      m_key.put(), nullptr);
    wchar_t previous[MAX_PATH] = L"";
    DWORD size = sizeof(previous);
    m_hadValue = ::RegGetValueW(m_key.get(), nullptr, kHostLocationValue, RRF_RT_REG_SZ, nullptr, previous, &size) ==
                 ERROR_SUCCESS;
    m_previous = previous;
    Set(folder);
}

LocationValue::~LocationValue() { Set(m_hadValue ? m_previous.c_str() : nullptr); }

void LocationValue::Set(const wchar_t* folder) {
    if (!folder) {
        ::RegDeleteValueW(m_key.get(), kHostLocationValue);
        return;
    }
    ::RegSetValueExW(m_key.get(), kHostLocationValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder),
                     static_cast<DWORD>((std::wcslen(folder) + 1) * sizeof(wchar_t)));
}

} // namespace glyphset_test
