#pragma once
#include <windows.h>
#include <cstdlib>
#include <filesystem>

namespace lineage_test {

// The project's source folder (LINEAGE_SOURCE_DIR, set by ctest) as a Windows path; empty when unset.
inline std::filesystem::path SourceFolder() {
    const wchar_t* value = _wgetenv(L"LINEAGE_SOURCE_DIR");
    if (!value || value[0] != L'/')
        return value ? value : L"";
    // Under Wine the build's Unix path needs the matching DOS path.
    using ToDosName = wchar_t*(CDECL*)(const char*);
    const auto toDos = reinterpret_cast<ToDosName>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name"));
    char unixPath[1024] = {};
    wchar_t* dos = toDos && ::WideCharToMultiByte(CP_UTF8, 0, value, -1, unixPath, 1024, nullptr, nullptr) > 0
                       ? toDos(unixPath) : nullptr;
    const std::filesystem::path path(dos ? dos : value);
    if (dos)
        ::HeapFree(::GetProcessHeap(), 0, dos);
    return path;
}

} // namespace lineage_test
