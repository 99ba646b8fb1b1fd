#pragma once
// What the file-type icon lookups answer: one value that owns the icons it found.
#include <windows.h>
#include <string>
#include "base/ScopedHandle.h"

enum class IconLookupResult {
    ForType = 0,  // icons found, valid for every file of the type
    None = 1,     // nothing found
    PerFile = 2,  // icons found, or to be found, in each file: they differ per file
};

// The icons of a pair a caller wants: a lookup extracts, and requires, only those.
enum class WantedIcons { Small = 1, Large = 2, Both = 3 };

constexpr bool Wants(WantedIcons wanted, WantedIcons which) noexcept {
    return (static_cast<int>(wanted) & static_cast<int>(which)) != 0;
}

struct IconLookup {
    IconLookupResult result = IconLookupResult::None;
    ScopedHICON small;
    ScopedHICON large;
    DWORD flags = 0;  // GIL_* output flags of the icon's location
    std::wstring typeName;
    bool typeNameFromRegistry = false;

    bool HasIcon() const noexcept { return small || large; }
};
