// The Type column's images for a large branch: every file's icon index through the icon cache,
// against the same shell lookups made directly for every file in the same run; and what the cache
// costs in memory per icon it holds.
//   icon_bench [files] [extensions] [per-instance files]     default: 100000 200 1000
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Figures.h"
#include "base/ScopedHandle.h"
#include "icons/GetFileIcons.h"
#include "icons/IconCache.h"

namespace {

constexpr wchar_t kClasses[] = L"Software\\Classes\\";
constexpr wchar_t kPerFileExtension[] = L"lnbenchpic";

double Now() {
    LARGE_INTEGER frequency, t;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::wstring Folder(const wchar_t* path) {
    std::wstring folder = path;
    return folder.substr(0, folder.rfind(L'\\') + 1);
}

std::wstring ExecutableFolder() {
    wchar_t path[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return Folder(path);
}

void SetDefault(const std::wstring& key, const std::wstring& value) {
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, (kClasses + key).c_str(), nullptr, REG_SZ, value.c_str(),
                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// File types as an installer registers them, removed again at the end.
class BenchTypes {
public:
    explicit BenchTypes(int count) {
        const std::wstring iconLib = ExecutableFolder() + L"IconLib.dll,-100";
        for (int i = 0; i < count; ++i) {
            const std::wstring progId = L"LineageBench.Type" + std::to_wstring(i);
            Add(L"." + Extension(i), progId);
            SetDefault(progId + L"\\DefaultIcon", iconLib);
        }
        // A type whose icon is the first one in each file.
        Add(std::wstring(L".") + kPerFileExtension, L"LineageBench.Picture");
        SetDefault(L"LineageBench.Picture\\DefaultIcon", L"%1");
    }
    BenchTypes(const BenchTypes&) = delete;
    BenchTypes& operator=(const BenchTypes&) = delete;
    ~BenchTypes() {
        for (const auto& key : m_keys)
            ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kClasses + key).c_str());
    }
    static std::wstring Extension(int i) { return L"lnb" + std::to_wstring(i); }

private:
    void Add(const std::wstring& extension, const std::wstring& progId) {
        SetDefault(extension, progId);
        SetDefault(progId, L"Bench document");
        m_keys.push_back(extension);
        m_keys.push_back(progId);
    }
    std::vector<std::wstring> m_keys;
};

// Files of the per-file type, each a copy of a library with icons, in a folder of their own.
class PerFileCopies {
public:
    explicit PerFileCopies(int count) {
        wchar_t temp[MAX_PATH] = L"";
        ::GetTempPathW(MAX_PATH, temp);
        m_folder = std::wstring(temp) + L"icon-bench\\";
        ::CreateDirectoryW(m_folder.c_str(), nullptr);
        const std::wstring source = ExecutableFolder() + L"IconLib.dll";
        for (int i = 0; i < count; ++i) {
            m_files.push_back(m_folder + L"picture " + std::to_wstring(i) + L"." + kPerFileExtension);
            ::CopyFileW(source.c_str(), m_files.back().c_str(), FALSE);
        }
    }
    PerFileCopies(const PerFileCopies&) = delete;
    PerFileCopies& operator=(const PerFileCopies&) = delete;
    ~PerFileCopies() {
        for (const auto& file : m_files)
            ::DeleteFileW(file.c_str());
        ::RemoveDirectoryW(m_folder.c_str());
    }
    const std::vector<std::wstring>& Files() const { return m_files; }

private:
    std::wstring m_folder;
    std::vector<std::wstring> m_files;
};

// The branch's source files: the per-file ones spread evenly among files of the other types.
std::vector<std::wstring> BranchFiles(int files, int extensions, const std::vector<std::wstring>& perFile) {
    std::vector<std::wstring> names;
    names.reserve(static_cast<size_t>(files));
    const size_t spread = perFile.empty() ? 0 : static_cast<size_t>(files) / perFile.size();
    for (int i = 0; i < files; ++i) {
        const size_t n = static_cast<size_t>(i);
        if (spread && n % spread == 0 && n / spread < perFile.size())
            names.push_back(perFile[n / spread]);
        else
            names.push_back(L"C:\\Vaults\\Engineering\\P-" + std::to_wstring(i / 100) + L"\\Part " + std::to_wstring(i) +
                            L"." + BenchTypes::Extension(i % extensions));
    }
    return names;
}

SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                sizeof(counters)))
        return 0;
    // Wine leaves PrivateUsage 0; the pagefile charge is the same figure there.
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int extensions = argc > 2 ? std::atoi(argv[2]) : 200;
    const int perFileCount = argc > 3 ? std::atoi(argv[3]) : 1000;
    if (files <= 0 || extensions <= 0 || perFileCount < 0 || perFileCount > files)
        return 2;
    const BenchTypes types(extensions);
    const PerFileCopies perFile(perFileCount);
    const std::vector<std::wstring> names = BranchFiles(files, extensions, perFile.Files());

    // Warm both paths up once so neither pays for loading the shell's libraries.
    static_cast<void>(GetFileIcons(names.front().c_str()));

    const SIZE_T before = PrivateBytes();
    const double t0 = Now();
    std::set<int> indices;
    int failures = 0;
    auto cache = std::make_unique<IconCache>();
    for (const auto& name : names) {
        const int index = cache->GetFileIconIndex(name.c_str());
        if (index < 0)
            ++failures;
        indices.insert(index);
    }
    const double cached = Now() - t0;
    const SIZE_T after = PrivateBytes();
    cache.reset();

    const double t1 = Now();
    int directFailures = 0;
    for (const auto& name : names)
        if (GetFileIcons(name.c_str()).result == IconLookupResult::None)
            ++directFailures;
    const double direct = Now() - t1;

    const int icons = static_cast<int>(indices.size());
    const double perIcon = icons ? static_cast<double>(after > before ? after - before : 0) / icons : 0;
    std::printf("| Files | Types | Per-file | Icons cached | Through the cache | Shell lookups | Ratio | Memory per icon |\n"
                "|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    std::printf("| %s | %d | %s | %s | %.2f s | %.2f s | %.1f\u00D7 | %.1f KB |\n", Thousands(files).c_str(), extensions,
                Thousands(perFileCount).c_str(), Thousands(icons).c_str(), cached, direct, direct / cached,
                perIcon / 1024.0);
    if (failures || directFailures)
        std::printf("\n%d cache lookups and %d shell lookups found no icon.\n", failures, directFailures);
    return failures ? 1 : 0;
}
