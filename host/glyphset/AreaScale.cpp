#include "AreaScale.h"
#include <algorithm>
#include <cmath>

namespace {

// How much of source pixel `pixel` lies inside [start, end).
double Coverage(int pixel, double start, double end) {
    return std::min(end, pixel + 1.0) - std::max(start, static_cast<double>(pixel));
}

uint32_t Channel(double value, int shift) {
    return static_cast<uint32_t>(std::clamp(std::lround(value), 0L, 255L)) << shift;
}

} // namespace

BgraImage ScaleByArea(const BgraImage& source, int width, int height) {
    BgraImage target{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
    const double stepX = static_cast<double>(source.width) / width;
    const double stepY = static_cast<double>(source.height) / height;
    for (int y = 0; y < height; ++y) {
        const double top = y * stepY;
        const double bottom = std::min((y + 1) * stepY, static_cast<double>(source.height));
        for (int x = 0; x < width; ++x) {
            const double left = x * stepX;
            const double right = std::min((x + 1) * stepX, static_cast<double>(source.width));
            // Colours are weighted by alpha so that transparent pixels lend the edge no colour.
            double alpha = 0, red = 0, green = 0, blue = 0;
            for (int v = static_cast<int>(top); v < bottom; ++v) {
                const double rowShare = Coverage(v, top, bottom);
                for (int u = static_cast<int>(left); u < right; ++u) {
                    const uint32_t pixel = source.pixels[static_cast<size_t>(v) * source.width + u];
                    const double weight = (pixel >> 24) * rowShare * Coverage(u, left, right);
                    alpha += weight;
                    red += weight * ((pixel >> 16) & 0xFF);
                    green += weight * ((pixel >> 8) & 0xFF);
                    blue += weight * (pixel & 0xFF);
                }
            }
            if (alpha > 0)
                target.pixels[static_cast<size_t>(y) * width + x] = Channel(alpha / (stepX * stepY), 24) |
                    Channel(red / alpha, 16) | Channel(green / alpha, 8) | Channel(blue / alpha, 0);
        }
    }
    return target;
}
