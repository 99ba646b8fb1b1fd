#include "icons/GetFileIcons.h"

#include <climits>
#include <cstdio>
#include <exception>
#include <utility>
#include <shellapi.h>
#include <shlobj.h>

#include "base/ScopedHandle.h"
#include "icons/ExtractIconPair.h"
#include "icons/GetExtensionIcons.h"

namespace {

// An empty file of the given type in the temporary folder, under the first free name of
// "0.ext", "1.ext", ...; deleted when the object goes.
class ProbeFile {
public:
    explicit ProbeFile(const std::wstring& extension) {
        wchar_t folder[260] = {};
        const DWORD length = ::GetTempPathW(260, folder);
        if (length == 0 || length >= 260)
            return;
        wchar_t name[MAX_PATH + 32] = {};
        for (int n = 0;; ++n) {
            std::swprintf(name, sizeof(name) / sizeof(name[0]), L"%ls%d.%ls", folder, n, extension.c_str());
            if (::GetFileAttributesW(name) == INVALID_FILE_ATTRIBUTES || n == INT_MAX)
                break;
        }
        ScopedFileHandle file(::CreateFileW(name, 0, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
            m_name = name;
    }
    ProbeFile(const ProbeFile&) = delete;
    ProbeFile& operator=(const ProbeFile&) = delete;
    ~ProbeFile() {
        if (!m_name.empty())
            ::DeleteFileW(m_name.c_str());
    }

    bool Exists() const noexcept { return !m_name.empty(); }
    const wchar_t* Name() const noexcept { return m_name.c_str(); }

private:
    std::wstring m_name;
};

ScopedHICON ShellIcon(const wchar_t* file, UINT sizeFlag) {
    SHFILEINFOW info = {};
    if (!::SHGetFileInfoW(file, 0, &info, sizeof(info), SHGFI_ICON | sizeFlag))
        return ScopedHICON();
    return ScopedHICON(info.hIcon);
}

// The shell's icons for a type that the registration walk could not resolve.
bool GetProbeFileIcons(const std::wstring& extension, IconLookup& found) {
    ScopedHICON largeIcon;
    ScopedHICON smallIcon;
    {
        ProbeFile probe(extension);
        if (probe.Exists()) {
            largeIcon = ShellIcon(probe.Name(), SHGFI_LARGEICON);
            smallIcon = ShellIcon(probe.Name(), SHGFI_SMALLICON);
        }
    }
    if (!largeIcon || !smallIcon)
        return false;
    found.small = std::move(smallIcon);
    found.large = std::move(largeIcon);
    return true;
}

IconLookup LookUpFile(const wchar_t* path, WantedIcons wanted) {
    const std::wstring file = path ? path : L"";
    const size_t dot = file.rfind(L'.');
    const size_t slash = file.rfind(L'\\');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash))
        return IconLookup();
    const std::wstring extension = file.substr(dot + 1);

    IconLookup found = GetExtensionIcons(extension.c_str(), wanted, file.c_str());
    if (found.result == IconLookupResult::PerFile) {
        if (found.HasIcon())
            return found;
        // The type keeps its icon in each file: the file's own first icon.
        found.flags = GIL_PERINSTANCE;
        if (ExtractIconPair(file.c_str(), 0, wanted, found.small, found.large) == 0)
            found.result = IconLookupResult::None;
        return found;
    }
    if (found.result == IconLookupResult::None && wanted == WantedIcons::Both && !found.HasIcon() &&
        GetProbeFileIcons(extension, found))
        found.result = IconLookupResult::PerFile;
    return found;
}

}  // namespace

IconLookup GetFileIcons(const wchar_t* path, WantedIcons wanted) noexcept {
    try {
        return LookUpFile(path, wanted);
    } catch (const std::exception&) {
        return IconLookup();
    }
}
