// Translated texts: one strings file per process, read on first use, never written.
#include "contracts/Txtres.h"

#include <string>
#include <vector>

#include "StringTable.h"
#include "base/Lock.h"
#include "base/ModulePath.h"
#include "base/ScopedHandle.h"

namespace {

// A larger file is not a strings file; ignoring it keeps a mistake from eating memory.
constexpr LONGLONG kMaxFileBytes = 16 * 1024 * 1024;
constexpr wchar_t kFileVariable[] = L"TXTRES_STRINGS";
constexpr wchar_t kFileName[] = L"Txtres.strings";

StringTable g_table;
INIT_ONCE g_tableOnce = INIT_ONCE_STATIC_INIT;

CCriticalSection g_defaultFilesLock;
std::vector<std::wstring> g_defaultFiles;

std::wstring OwnFolder() { return FolderOf(ModulePath(ModuleContaining(&g_table))); }

// The variable, when set, is the only file considered: a test or a translator can point
// at a file without touching the installation.
std::wstring StringsFilePath() {
    const DWORD needed = ::GetEnvironmentVariableW(kFileVariable, nullptr, 0);
    if (needed > 1) {
        std::wstring value(needed, L'\0');
        const DWORD n = ::GetEnvironmentVariableW(kFileVariable, value.data(), needed);
        if (n > 0 && n < needed) {
            value.resize(n);
            return value;
        }
    }
    const std::wstring folder = OwnFolder();
    return folder.empty() ? std::wstring() : folder + kFileName;
}

std::string ReadSmallFile(const std::wstring& path) {
    ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 ||
        size.QuadPart > kMaxFileBytes)
        return {};
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD total = 0;
    while (total < bytes.size()) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), bytes.data() + total, static_cast<DWORD>(bytes.size() - total),
                        &read, nullptr) ||
            read == 0)
            break;
        total += read;
    }
    bytes.resize(total);
    return bytes;
}

BOOL CALLBACK LoadTable(PINIT_ONCE, PVOID, PVOID*) noexcept {
    try {
        const std::wstring path = StringsFilePath();
        if (!path.empty()) g_table.Parse(ReadSmallFile(path));
    } catch (...) {
        // Out of memory while loading: run without translations rather than fail the caller.
    }
    return TRUE;
}

const StringTable& Table() noexcept {
    ::InitOnceExecuteOnce(&g_tableOnce, LoadTable, nullptr, nullptr);
    return g_table;
}

std::wstring TopDefaultFile() {
    CSingleLock lock(g_defaultFilesLock);
    return g_defaultFiles.empty() ? std::wstring() : g_defaultFiles.back();
}

}  // namespace

// Returned texts point into the table, which never changes after loading, so they stay
// valid far longer than the contract promises; a missing text hands back the caller's own.
const wchar_t* TSS_internal(unsigned id, const wchar_t* kind, const wchar_t* file,
                            const wchar_t* defaultText) {
    const wchar_t* fallback = defaultText ? defaultText : L"";
    try {
        const StringTable& table = Table();
        if (table.size() == 0 || !kind) return fallback;
        std::wstring section = file && *file ? std::wstring(file) : TopDefaultFile();
        if (section.empty()) return fallback;
        const wchar_t* text = table.Find(section, kind, id);
        return text ? text : fallback;
    } catch (...) {
        return fallback;
    }
}

void gvPushDefaultFile(const wchar_t* file) {
    try {
        std::wstring name = file ? file : L"";
        CSingleLock lock(g_defaultFilesLock);
        g_defaultFiles.push_back(std::move(name));
    } catch (...) {
        // Out of memory: the push is lost and the matching pop removes an older entry,
        // the least harm available here.
    }
}

void gvPopDefaultFile() {
    CSingleLock lock(g_defaultFilesLock);
    if (!g_defaultFiles.empty()) g_defaultFiles.pop_back();
}
