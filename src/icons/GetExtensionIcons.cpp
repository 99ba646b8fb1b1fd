#include "icons/GetExtensionIcons.h"

#include <cwchar>
#include <exception>
#include <utility>
#include <shlobj.h>

#include "base/ScopedHandle.h"
#include "icons/ExtractIconPair.h"
#include "icons/GetHandlerIcons.h"
#include "icons/HostFileFormats.h"
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
bool ExtractDefaultIcon(const std::wstring& value, WantedIcons wanted, IconLookup& found) {
    std::wstring file = value;
    int index = 0;
    const size_t comma = value.find(L',');
    if (comma != std::wstring::npos) {
        file = value.substr(0, comma);
        index = ::_wtoi(value.c_str() + comma + 1);
    }
    return ExtractCompleteIconPair(file.c_str(), index, wanted, found.small, found.large);
}

IconLookup WalkRegistration(const wchar_t* extension, WantedIcons wanted, const wchar_t* path) {
    IconLookup found;
    const std::wstring ext = extension ? extension : L"";
    IconLookupResult pending = IconLookupResult::ForType;

    std::wstring progId;
    if (!ReadClassesValue(L"." + ext, progId)) {
        found.typeName = MakeDefaultTypeName(ext.c_str());
        return found;
    }

    std::wstring registeredName;
    if (ReadClassesValue(progId, registeredName)) {
        found.typeName = registeredName;
        found.typeNameFromRegistry = true;
    } else {
        found.typeName = MakeDefaultTypeName(ext.c_str());
    }

    if (path) {
        const std::wstring handlerKey = progId + L"\\shellex\\IconHandler";
        std::wstring handlerClass;
        // The host's own formats keep their handler out of this process.
        if (!IsHostFileFormat(ext.c_str()) && ReadClassesValue(handlerKey, handlerClass)) {
            IconLookup handled = GetHandlerIcons(handlerClass.c_str(), path, wanted);
            // A failing handler still marks the type uncacheable for whatever is found next.
            found.flags = handled.flags;
            if (handled.result != IconLookupResult::None) {
                if (handled.HasIcon()) {
                    found.small = std::move(handled.small);
                    found.large = std::move(handled.large);
                    found.result = handled.result;
                    return found;
                }
                pending = handled.result;
            }
        }
    }

    std::wstring defaultIcon;
    if (ReadClassesValue(progId + L"\\DefaultIcon", defaultIcon) && !defaultIcon.empty()) {
        if (defaultIcon == L"%1") {
            found.flags = GIL_PERINSTANCE;
            found.result = IconLookupResult::PerFile;
            return found;
        }
        if (ExtractDefaultIcon(defaultIcon, wanted, found)) {
            found.result = IconLookupResult::ForType;
            return found;
        }
    }

    std::wstring classId;
    if (ReadClassesValue(progId + L"\\CLSID", classId) && !classId.empty()) {
        std::wstring classIcon;
        // Opened for writing as the host's own lookup opens it: where the user may not write
        // below CLSID, a type's class icon is not found and the walk ends with nothing.
        if (ReadClassesValue(L"CLSID\\" + classId + L"\\DefaultIcon", classIcon, KEY_READ | KEY_WRITE) &&
            !classIcon.empty())
            static_cast<void>(ExtractDefaultIcon(classIcon, wanted, found));
    }

    found.result = found.HasIcon() ? pending : IconLookupResult::None;
    return found;
}

}  // namespace

IconLookup GetExtensionIcons(const wchar_t* extension, WantedIcons wanted, const wchar_t* path) noexcept {
    try {
        return WalkRegistration(extension, wanted, path);
    } catch (const std::exception&) {
        return IconLookup();
    }
}
