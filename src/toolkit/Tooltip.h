#pragma once
#include <windows.h>
#include <cstdint>
#include <string>

namespace BFC {

// A tip a toolbar hands to its owner: where it shows, in the owner's client coordinates,
// and its text exactly as the element gives it.
struct Tooltip {
    RECT rect{};
    std::wstring text;
    uint64_t reserved = 0;
};

} // namespace BFC
