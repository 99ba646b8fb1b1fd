#pragma once
// Icons and type name of one file.
#include <windows.h>
#include <string>

// The icons of the file at `path` (its extension's registration, the file's own first icon when
// the type keeps its icons in each file, or, when both icons are wanted and the registration
// gives none, the shell's icons for an empty probe file of the type made in the temporary
// folder and deleted again). Out-parameters as for GetExtensionIcons; `small` and `large` must
// be null on entry. A path whose last dot is missing or lies in a folder name answers kNone
// with an empty type name. Answers icon_lookup::kForType, kPerFile or kNone. Throws nothing:
// running out of memory answers kNone with no icons.
int GetFileIcons(const wchar_t* path, HICON* small, HICON* large, DWORD* flags = nullptr,
                 std::wstring* typeName = nullptr, int* fromRegistry = nullptr) noexcept;
