#pragma once
// Icons and type name of one file.
#include <windows.h>
#include "icons/IconLookup.h"

// The icons of the file at `path`: its extension's registration; the file's own first icon when
// the type keeps its icons in each file; or, when both icons are wanted and the registration
// gives none, the shell's icons for an empty probe file of the type made in the temporary folder
// and deleted again. A path whose last dot is missing or lies in a folder name answers None with
// an empty type name. Throws nothing: running out of memory answers None with no icons.
IconLookup GetFileIcons(const wchar_t* path, WantedIcons wanted = WantedIcons::Both) noexcept;
