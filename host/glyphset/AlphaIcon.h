#pragma once
// Icons that keep a picture's soft edges.
#include <windows.h>
#include "BgraImage.h"

// An icon of `image`: a 32-bpp colour bitmap holding the picture's own alpha, and a mask marking
// the fully transparent pixels for drawing that ignores alpha. Null on failure; the icon belongs
// to the caller. May throw std::bad_alloc.
HICON CreateAlphaIcon(const BgraImage& image);
