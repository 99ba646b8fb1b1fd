#pragma once
// Icons and name of a file type from its registration under HKEY_CLASSES_ROOT.
#include <windows.h>
#include "icons/IconLookup.h"

// Walks the registration of `extension` (without the dot): the ProgID's icon handler (only when
// `path` names a file to ask it about, and never for the host's own formats), then the
// ProgID's "DefaultIcon", then the "DefaultIcon" of the ProgID's class.
// The answer carries the registered type name (typeNameFromRegistry) or the default one, and the
// GIL_* flags (0 unless the icons differ per file). Its result is ForType; PerFile when the icons
// are, or are to be found, in each file (a "DefaultIcon" of "%1" answers this with flags
// GIL_PERINSTANCE and no icons); None when nothing was found. A type is found only when every
// wanted icon is: a half-found pair is destroyed.
// Throws nothing: running out of memory answers None with no icons.
IconLookup GetExtensionIcons(const wchar_t* extension, WantedIcons wanted, const wchar_t* path = nullptr) noexcept;
