#pragma once
// PNG bytes to pixels through the system's imaging component (WIC).
#include <windows.h>
#include "BgraImage.h"

// False when the bytes are not a picture WIC can read. May throw std::bad_alloc.
[[nodiscard]] bool DecodePng(const BYTE* data, DWORD size, BgraImage& image);
