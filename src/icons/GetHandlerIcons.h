#pragma once
// Icons of one file from the file type's in-process icon handler.
#include <windows.h>

// Asks the icon handler `clsid` (text "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}") for the icons of
// the file at `path`; `small`, `large` and `flags` may each be null when not wanted, and the
// icons must be null on entry. Answers icon_lookup::kForType, kPerFile (the handler's GIL_*
// flags hold GIL_PERINSTANCE or GIL_DONTCACHE) or kNone. A handler that cannot be created
// leaves `flags` alone; one that fails to load the file, to locate or to extract its icon
// answers kNone with flags GIL_DONTCACHE. Icons handed back belong to the caller. Throws
// nothing: running out of memory answers kNone.
int GetHandlerIcons(const wchar_t* clsid, const wchar_t* path, HICON* small, HICON* large, DWORD* flags) noexcept;
