#pragma once
// How the benchmarks write their figures: Markdown tables, numbers grouped as the README writes them.
#include <string>

// 1000000 as "1 000 000".
inline std::string Thousands(int value) {
    std::string digits = std::to_string(value);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<size_t>(i), " ");
    return digits;
}
