#include "icons/WorkflowIcons.h"
#include <msi.h>
#include <shlwapi.h>
#include "base/ModulePath.h"
#include "contracts/Glyphset.h"
#include "contracts/GlyphsetInstaller.h"
#include "settings/Registry.h"

namespace {

// Looked up once per process; the library they point into is never freed. All callers are on the
// host's UI thread, so no lock guards them.
GhLoadWfPngImageIconAsPerDpiFn g_loadPngByName = nullptr;
GhLoadWfPngImageIconImplFn g_loadPngByNumber = nullptr;
GhLoadWfIconImplFn g_loadIconByNumber = nullptr;

template <class Fn>
Fn FindExport(Fn& cached, const char* name) noexcept {
    if (cached)
        return cached;
    ScopedHMODULE library(::LoadLibraryW(GetGlyphsetPath().c_str()));
    if (!library)
        return nullptr;
    auto found = reinterpret_cast<Fn>(::GetProcAddress(library.get(), name));
    if (!found)
        return nullptr;
    library.release();
    cached = found;
    return found;
}

constexpr DWORD kPathChars = MAX_PATH;
constexpr DWORD kProductCodeChars = 39;

// Asks the installer to put the library back; the product is looked up by its upgrade codes
// when the installed one carries another product code.
bool RepairGlyphset(const InstallerCalls& installer) noexcept {
    UINT result =
        installer.installMissingComponent(GLYPHSET_PRODUCT_CODE, GLYPHSET_COMPONENT_CODE, INSTALLSTATE_DEFAULT);
    if (result == ERROR_UNKNOWN_PRODUCT) {
        wchar_t product[kProductCodeChars] = L"";
        if (installer.enumRelatedProducts(GLYPHSET_UPGRADE_CODE_1, 0, 0, product) == ERROR_NO_MORE_ITEMS)
            installer.enumRelatedProducts(GLYPHSET_UPGRADE_CODE_2, 0, 0, product);
        result = installer.installMissingComponent(product, GLYPHSET_COMPONENT_CODE, INSTALLSTATE_DEFAULT);
    }
    return result == ERROR_SUCCESS;
}

} // namespace

HICON LoadWfPngIcon(const wchar_t* pngName, int useType) {
    auto load = FindExport(g_loadPngByName, kGhLoadWfPngImageIconAsPerDpi);
    return load ? load(pngName, useType) : nullptr;
}

HICON LoadWfPngIconById(int number) {
    auto load = FindExport(g_loadPngByNumber, kGhLoadWfPngImageIconImpl);
    return load ? load(number, LR_SHARED, 0, 0) : nullptr;
}

HICON LoadWfIconById(int number, int width, int height) {
    if (number >= kFirstPngIconNumber && number <= kLastPngIconNumber)
        return LoadWfPngIconById(number);
    auto load = FindExport(g_loadIconByNumber, kGhLoadWfIconImpl);
    return load ? load(number, IMAGE_ICON, LR_SHARED, width, height) : nullptr;
}

std::wstring GetGlyphsetPath() {
    std::wstring folder;
    Registry key;
    wchar_t location[kPathChars] = L"";
    DWORD size = sizeof(location) - sizeof(wchar_t);  // room for a terminator the value may lack
    DWORD type = 0;
    if (key.Open(HKEY_LOCAL_MACHINE, kHostProductKey, KEY_QUERY_VALUE, false) &&
        key.QueryValue(kHostLocationValue, &type, location, &size) && (type == REG_SZ || type == REG_EXPAND_SZ))
        folder = location;
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    return folder + kGlyphsetFileName;
}

const InstallerCalls& SystemInstallerCalls() noexcept {
    static const InstallerCalls calls{::MsiInstallMissingComponentW, ::MsiEnumRelatedProductsW};
    return calls;
}

bool LoadGlyphsetModule(ScopedHMODULE& library, const InstallerCalls& installer) {
    if (library)
        return true;
    wchar_t path[kPathChars] = L"";
    static const int anchor = 0;
    const DWORD length = ::GetModuleFileNameW(ModuleContaining(&anchor), path, kPathChars);
    if (length == 0 || length >= kPathChars)
        return false;
    if (!::PathRemoveFileSpecW(path) || !::PathAppendW(path, kGlyphsetFileName))
        return false;
    library.reset(::LoadLibraryW(path));
    if (!library && RepairGlyphset(installer))
        library.reset(::LoadLibraryW(path));
    return static_cast<bool>(library);
}

std::map<std::wstring, std::wstring> MakeStatusIconNames() {
    return {
        {L"idi_default_status_icon", L"PNG_DEFAULT_STATUS"},
        {L"idi_status_icon1", L"PNG_YELLOW_LIGHT"},
        {L"idi_status_icon2", L"PNG_CHECK_LIST"},
        {L"idi_status_icon3", L"PNG_CHECK_MARK"},
        {L"idi_status_icon4", L"PNG_WFCOMPUTER"},
        {L"idi_status_icon5", L"PNG_DUMPBIN"},
        {L"idi_status_icon6", L"PNG_EDIT"},
        {L"idi_status_icon7", L"PNG_SEARCH"},
        {L"idi_status_icon8", L"PNG_FLAG"},
        {L"idi_status_icon9", L"PNG_GREEN_LIGHT"},
        {L"idi_status_icon10", L"PNG_OINK"},
        {L"idi_status_icon11", L"PNG_OK3"},
        {L"idi_status_icon12", L"PNG_RED_LIGHT"},
        {L"idi_status_icon13", L"PNG_SNOOZE"},
        {L"idi_status_icon14", L"PNG_SPANNER"},
        {L"idi_status_icon15", L"PNG_STOP"},
        {L"idi_status_icon16", L"PNG_THUMBS_DOWN"},
        {L"idi_status_icon17", L"PNG_THUMBS_UP"},
        {L"idi_status_icon18", L"PNG_CAR"},
        {L"idi_status_icon19", L"PNG_WORKFLOW"},
        {L"idi_status_icon20", L"PNG_NOTIFICATION"},
    };
}
