#pragma once
// One small/large icon pair out of an icon file, a library or a program.
#include <windows.h>
#include "base/ScopedHandle.h"

// Extracts the icons at `index` of `file` (a negative index names the icon resource with that
// id) into whichever of `small` and `large` is not null. Answers how many of those wanted
// came back; what was not extracted stays empty.
int ExtractIconPair(const wchar_t* file, int index, ScopedHICON* small, ScopedHICON* large);

// As above, but every wanted icon must come back: when one is missing, the other is destroyed
// too and the answer is false.
[[nodiscard]] bool ExtractCompleteIconPair(const wchar_t* file, int index, ScopedHICON* small, ScopedHICON* large);

// Destroys whichever icons the pointers hold and sets them to null; null pointers are skipped.
void DestroyIconPair(HICON* small, HICON* large) noexcept;
