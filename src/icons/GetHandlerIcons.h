#pragma once
// Icons of one file from the file type's in-process icon handler.
#include <windows.h>
#include "icons/IconLookup.h"

// Asks the icon handler `clsid` (text "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}") for the wanted
// icons of the file at `path`. The result is ForType, or PerFile when the handler's flags hold
// GIL_PERINSTANCE or GIL_DONTCACHE, or None. A handler that cannot be created answers None with
// flags 0; one that fails to load the file, to locate or to extract its icon answers None with
// flags GIL_DONTCACHE. Throws nothing: running out of memory answers None.
IconLookup GetHandlerIcons(const wchar_t* clsid, const wchar_t* path, WantedIcons wanted) noexcept;
