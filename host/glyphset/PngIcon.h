#pragma once
// The library's pictures as icons.
#include <windows.h>

// The picture `name` (a string, or a number made with MAKEINTRESOURCE) of `module` as an icon
// `edge` pixels square: the drawing made for that edge, or the nearest larger one scaled down.
// Null when there is no such picture; the icon belongs to the caller. May throw std::bad_alloc.
HICON LoadPngIcon(HMODULE module, const wchar_t* name, int edge);
