#include "icons/ExtractIconPair.h"

#include <shellapi.h>

int ExtractIconPair(const wchar_t* file, int index, ScopedHICON* small, ScopedHICON* large) {
    HICON smallIcon = nullptr;
    HICON largeIcon = nullptr;
    const UINT extracted = ::ExtractIconExW(file, index, large ? &largeIcon : nullptr,
                                            small ? &smallIcon : nullptr, 1);
    // On a file without icons the call answers 0xFFFFFFFF (or 0) and may leave junk in the
    // outputs: those values are not ours to keep, nor to destroy.
    if (extracted == 0 || extracted == UINT_MAX)
        return 0;
    int found = 0;
    if (small && smallIcon) {
        small->reset(smallIcon);
        ++found;
    }
    if (large && largeIcon) {
        large->reset(largeIcon);
        ++found;
    }
    return found;
}

bool ExtractCompleteIconPair(const wchar_t* file, int index, ScopedHICON* small, ScopedHICON* large) {
    const int wanted = (small ? 1 : 0) + (large ? 1 : 0);
    if (ExtractIconPair(file, index, small, large) == wanted && wanted > 0)
        return true;
    if (small) small->reset();
    if (large) large->reset();
    return false;
}

void DestroyIconPair(HICON* small, HICON* large) noexcept {
    for (HICON* icon : {small, large}) {
        if (icon && *icon) {
            ::DestroyIcon(*icon);
            *icon = nullptr;
        }
    }
}
