#pragma once
// Pictures of the host's workflow icon library, Glyphset.dll. The library is found through the
// host's registered installation folder; its three entry points are looked up once and then kept,
// with the library, for the rest of the process. Until a lookup succeeds every call tries again.
#include <windows.h>
#include <msi.h>
#include <map>
#include <string>
#include "base/ScopedHandle.h"

// A named PNG picture at the DPI helper's size for `useType` (3 small, 4 large); null on failure.
HICON LoadWfPngIcon(const wchar_t* pngName, int useType);
// The PNG picture numbered `number`; null on failure.
HICON LoadWfPngIconById(int number);
// Numbers 400 to 950 are PNG pictures (width and height unused); any other is an icon resource
// loaded at width x height. Null on failure.
HICON LoadWfIconById(int number, int width, int height);

// "Location" under the host's product key, with one backslash, then "Glyphset.dll"; the bare file
// name when the folder cannot be read.
std::wstring GetGlyphsetPath();

// The two installer calls of the repair below: msi.dll's, unless a caller brings its own.
struct InstallerCalls {
    UINT(WINAPI* installMissingComponent)(LPCWSTR product, LPCWSTR component, INSTALLSTATE state);
    UINT(WINAPI* enumRelatedProducts)(LPCWSTR upgradeCode, DWORD reserved, DWORD index, LPWSTR product);
};
const InstallerCalls& SystemInstallerCalls() noexcept;

// The icon cache's own handle on the library, from beside this module; when it is missing there,
// the installer is asked to repair it once. Does nothing when `library` already holds it.
[[nodiscard]] bool LoadGlyphsetModule(ScopedHMODULE& library, const InstallerCalls& installer = SystemInstallerCalls());

// Status icon name -> PNG resource name of the library, for the workflow states' icons.
std::map<std::wstring, std::wstring> MakeStatusIconNames();
