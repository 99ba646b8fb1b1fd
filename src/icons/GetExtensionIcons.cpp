#include "icons/GetExtensionIcons.h"

#include <cwchar>
#include <exception>
#include <shlobj.h>

#include "base/ScopedHandle.h"
#include "icons/ExtractIconPair.h"
#include "icons/GetHandlerIcons.h"
#include "icons/HostFileFormats.h"
#include "icons/IconLookupResult.h"
#include "icons/MakeDefaultTypeName.h"
#include "settings/Registry.h"

namespace {

// The default value of HKEY_CLASSES_ROOT\subKey, or false when the key or value is missing.
// The key is closed again before this returns, so no two keys of the walk are open at once.
bool ReadClassesValue(const std::wstring& subKey, std::wstring& value, REGSAM access = Registry::kRead) {
    Registry key;
    return key.Open(HKEY_CLASSES_ROOT, subKey.c_str(), access, false) && key.GetString(L"", value);
}

// Extracts the pair that a "DefaultIcon" value names: "file,index" (a negative index is a
// resource id) or a bare file name for its first icon. False unless every wanted icon came.
bool ExtractDefaultIcon(const std::wstring& value, HICON* small, HICON* large) {
    std::wstring file = value;
    int index = 0;
    const size_t comma = value.find(L',');
    if (comma != std::wstring::npos) {
        file = value.substr(0, comma);
        index = ::_wtoi(value.c_str() + comma + 1);
    }
    ScopedHICON smallIcon;
    ScopedHICON largeIcon;
    if (!ExtractCompleteIconPair(file.c_str(), index, small ? &smallIcon : nullptr, large ? &largeIcon : nullptr))
        return false;
    if (small)
        *small = smallIcon.release();
    if (large)
        *large = largeIcon.release();
    return true;
}

int WalkRegistration(const wchar_t* extension, HICON* small, HICON* large, const wchar_t* path, DWORD* flags,
                     std::wstring* typeName, int* fromRegistry) {
    if (flags) *flags = 0;
    if (small) *small = nullptr;
    if (large) *large = nullptr;
    if (fromRegistry) *fromRegistry = 0;
    const std::wstring ext = extension ? extension : L"";
    int pending = icon_lookup::kForType;

    std::wstring progId;
    if (!ReadClassesValue(L"." + ext, progId)) {
        if (typeName) *typeName = MakeDefaultTypeName(ext.c_str());
        return icon_lookup::kNone;
    }

    if (typeName) {
        std::wstring registeredName;
        if (ReadClassesValue(progId, registeredName)) {
            *typeName = registeredName;
            if (fromRegistry) *fromRegistry = 1;
        } else {
            *typeName = MakeDefaultTypeName(ext.c_str());
        }
    }

    if (path) {
        const std::wstring handlerKey = progId + L"\\shellex\\IconHandler";
        std::wstring handlerClass;
        // The host's own formats keep their handler out of this process.
        if (!IsHostFileFormat(ext.c_str()) && ReadClassesValue(handlerKey, handlerClass)) {
            const int handled = GetHandlerIcons(handlerClass.c_str(), path, small, large, flags);
            if (handled != icon_lookup::kNone) {
                if ((small && *small) || (large && *large))
                    return handled;
                pending = handled;
            }
        }
    }

    std::wstring defaultIcon;
    if (ReadClassesValue(progId + L"\\DefaultIcon", defaultIcon) && !defaultIcon.empty()) {
        if (defaultIcon == L"%1") {
            if (flags) *flags = GIL_PERINSTANCE;
            return icon_lookup::kPerFile;
        }
        if (ExtractDefaultIcon(defaultIcon, small, large))
            return icon_lookup::kForType;
    }

    std::wstring classId;
    if (ReadClassesValue(progId + L"\\CLSID", classId) && !classId.empty()) {
        std::wstring classIcon;
        // Opened for writing as the host's own lookup opens it: where the user may not write
        // below CLSID, a type's class icon is not found and the walk ends with nothing.
        if (ReadClassesValue(L"CLSID\\" + classId + L"\\DefaultIcon", classIcon, KEY_READ | KEY_WRITE) &&
            !classIcon.empty())
            ExtractDefaultIcon(classIcon, small, large);
    }

    if (!((small && *small) || (large && *large)))
        return icon_lookup::kNone;
    return pending;
}

}  // namespace

int GetExtensionIcons(const wchar_t* extension, HICON* small, HICON* large, const wchar_t* path, DWORD* flags,
                      std::wstring* typeName, int* fromRegistry) noexcept {
    try {
        return WalkRegistration(extension, small, large, path, flags, typeName, fromRegistry);
    } catch (const std::exception&) {
        DestroyIconPair(small, large);
        return icon_lookup::kNone;
    }
}
