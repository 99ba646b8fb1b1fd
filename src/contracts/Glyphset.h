#pragma once
// What the module uses of the host's workflow icon library, Glyphset.dll: three exports, found by
// name at run time. Every icon they hand out belongs to the caller.
#include <windows.h>

// A named PNG picture as an icon at the size the DPI helper gives for `useType`.
using GhLoadWfPngImageIconAsPerDpiFn = HICON (*)(const wchar_t* pngName, int useType);
// The PNG picture numbered `number` (400 to 950); the module passes 32768, 0, 0.
using GhLoadWfPngImageIconImplFn = HICON (*)(int number, int flags, int reserved1, int reserved2);
// The icon resource numbered `number` at width x height; the module passes IMAGE_ICON, LR_SHARED.
using GhLoadWfIconImplFn = HICON (*)(int number, int type, int flags, int width, int height);

constexpr char kGhLoadWfPngImageIconAsPerDpi[] = "ghLoadWFPngImageIconAsPerDPI";
constexpr char kGhLoadWfPngImageIconImpl[] = "ghLoadWfPNGImageIconImpl";
constexpr char kGhLoadWfIconImpl[] = "ghLoadWfIconImpl";

constexpr wchar_t kGlyphsetFileName[] = L"Glyphset.dll";
// The host's installation: HKEY_LOCAL_MACHINE, value "Location" holds the folder.
constexpr wchar_t kHostProductKey[] = L"Software\\Brightfold\\Applications\\Ledgerix Enterprise";
constexpr wchar_t kHostLocationValue[] = L"Location";

// Numbered pictures that come as PNG; every other number is an icon resource.
constexpr int kFirstPngIconNumber = 400;
constexpr int kLastPngIconNumber = 950;
