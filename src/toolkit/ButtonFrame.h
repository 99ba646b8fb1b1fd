#pragma once
#include "toolkit/UIObject.h"

namespace BFC {

// The soft rounded frame of a hot (any non-zero state but pressed) or pressed button over
// (X, Y, W, H); the last column and row stay clear.
void DrawButtonFrame(Gdiplus::Graphics& g, int state, int X, int Y, int W, int H);

} // namespace BFC
