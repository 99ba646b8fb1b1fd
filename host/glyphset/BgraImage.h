#pragma once
// A picture in memory: rows top-down, each pixel 0xAARRGGBB (blue first in memory), colour not
// multiplied by alpha, as icons keep it.
#include <cstdint>
#include <vector>

struct BgraImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};
