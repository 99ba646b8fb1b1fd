#pragma once
// Resampling for the edges the art was not drawn at.
#include "BgraImage.h"

// `source` resampled to width x height by area: each new pixel is the alpha-weighted mean of the
// part of the source it covers, so thin lines fade instead of vanishing or breaking up.
// May throw std::bad_alloc.
BgraImage ScaleByArea(const BgraImage& source, int width, int height);
