#include "icons/ExtractIconPair.h"

#include <shellapi.h>

int ExtractIconPair(const wchar_t* file, int index, WantedIcons wanted, ScopedHICON& small, ScopedHICON& large) {
    HICON smallIcon = nullptr;
    HICON largeIcon = nullptr;
    const bool wantSmall = Wants(wanted, WantedIcons::Small);
    const bool wantLarge = Wants(wanted, WantedIcons::Large);
    const UINT extracted = ::ExtractIconExW(file, index, wantLarge ? &largeIcon : nullptr,
                                            wantSmall ? &smallIcon : nullptr, 1);
    // On a file without icons the call answers 0xFFFFFFFF (or 0) and may leave junk in the
    // outputs: those values are not ours to keep, nor to destroy.
    if (extracted == 0 || extracted == UINT_MAX)
        return 0;
    int found = 0;
    if (wantSmall && smallIcon) {
        small.reset(smallIcon);
        ++found;
    }
    if (wantLarge && largeIcon) {
        large.reset(largeIcon);
        ++found;
    }
    return found;
}

bool ExtractCompleteIconPair(const wchar_t* file, int index, WantedIcons wanted, ScopedHICON& small,
                             ScopedHICON& large) {
    const int count = wanted == WantedIcons::Both ? 2 : 1;
    if (ExtractIconPair(file, index, wanted, small, large) == count)
        return true;
    small.reset();
    large.reset();
    return false;
}
