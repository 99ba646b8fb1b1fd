#pragma once
// Icons and name of a file type from its registration under HKEY_CLASSES_ROOT.
#include <windows.h>
#include <string>

// Walks the registration of `extension` (without the dot): the ProgID's icon handler (only when
// `path` names a file to ask it about, and never for the host's own formats), then the
// ProgID's "DefaultIcon", then the "DefaultIcon" of the ProgID's class.
// Every out-parameter may be null when not wanted; `small` and `large` are set to null first.
// `typeName` receives the registered name, or the default one when there is none, and then
// `fromRegistry` is 0 (1 when the name came from the registry). `flags` receives the GIL_*
// output flags (0 unless the icons differ per file).
// Answers icon_lookup::kForType; kPerFile when the icons are, or are to be found, in each file
// (a "DefaultIcon" of "%1" answers this with flags GIL_PERINSTANCE and no icons); kNone when
// nothing was found. A type is found only when every wanted icon is: a half-found pair is
// destroyed. Icons handed back belong to the caller.
// Throws nothing: running out of memory answers kNone with no icons.
int GetExtensionIcons(const wchar_t* extension, HICON* small, HICON* large, const wchar_t* path = nullptr,
                      DWORD* flags = nullptr, std::wstring* typeName = nullptr, int* fromRegistry = nullptr) noexcept;
