#include "icons/GetFileIcons.h"

#include <climits>
#include <cstdio>
#include <exception>
#include <shellapi.h>
#include <shlobj.h>

#include "base/ScopedHandle.h"
#include "icons/ExtractIconPair.h"
#include "icons/GetExtensionIcons.h"
#include "icons/IconLookupResult.h"

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
bool GetProbeFileIcons(const std::wstring& extension, HICON* small, HICON* large) {
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
    *small = smallIcon.release();
    *large = largeIcon.release();
    return true;
}

// The type keeps its icon in each file: the file's own first icon.
bool GetOwnIcons(const wchar_t* path, HICON* small, HICON* large) {
    ScopedHICON smallIcon;
    ScopedHICON largeIcon;
    if (ExtractIconPair(path, 0, small ? &smallIcon : nullptr, large ? &largeIcon : nullptr) == 0)
        return false;
    if (small)
        *small = smallIcon.release();
    if (large)
        *large = largeIcon.release();
    return true;
}

int LookUpFile(const wchar_t* path, HICON* small, HICON* large, DWORD* flags, std::wstring* typeName,
               int* fromRegistry) {
    const std::wstring file = path ? path : L"";
    const size_t dot = file.rfind(L'.');
    const size_t slash = file.rfind(L'\\');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) {
        if (typeName)
            typeName->clear();
        return icon_lookup::kNone;
    }
    const std::wstring extension = file.substr(dot + 1);

    const int result = GetExtensionIcons(extension.c_str(), small, large, file.c_str(), flags, typeName, fromRegistry);
    if (result == icon_lookup::kPerFile) {
        if ((small && *small) || (large && *large))
            return icon_lookup::kPerFile;
        if (flags)
            *flags = GIL_PERINSTANCE;
        return GetOwnIcons(file.c_str(), small, large) ? icon_lookup::kPerFile : icon_lookup::kNone;
    }
    if (result == icon_lookup::kNone && small && large && !*small && !*large)
        return GetProbeFileIcons(extension, small, large) ? icon_lookup::kPerFile : icon_lookup::kNone;
    return result;
}

}  // namespace

int GetFileIcons(const wchar_t* path, HICON* small, HICON* large, DWORD* flags, std::wstring* typeName,
                 int* fromRegistry) noexcept {
    try {
        return LookUpFile(path, small, large, flags, typeName, fromRegistry);
    } catch (const std::exception&) {
        DestroyIconPair(small, large);
        return icon_lookup::kNone;
    }
}
