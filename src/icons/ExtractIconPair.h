#pragma once
// One small/large icon pair out of an icon file, a library or a program.
#include <windows.h>
#include "icons/IconLookup.h"

// Extracts the wanted icons at `index` of `file` (a negative index names the icon resource with
// that id) into `small` and `large`. Answers how many of the wanted came back; what was not
// extracted stays empty.
int ExtractIconPair(const wchar_t* file, int index, WantedIcons wanted, ScopedHICON& small, ScopedHICON& large);

// As above, but every wanted icon must come back: when one is missing, the other is destroyed
// too and the answer is false.
[[nodiscard]] bool ExtractCompleteIconPair(const wchar_t* file, int index, WantedIcons wanted, ScopedHICON& small,
                                           ScopedHICON& large);
