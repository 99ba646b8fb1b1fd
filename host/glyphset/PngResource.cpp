#include "PngResource.h"
#include <iterator>

namespace {

constexpr int kDrawnEdges[] = {GLYPHSET_DRAWN_EDGES};

bool Load(HMODULE module, const wchar_t* name, int edge, PngResource& found) noexcept {
    wchar_t type[16];
    ::wsprintfW(type, L"PNG%d", edge);
    HRSRC info = ::FindResourceW(module, name, type);
    HGLOBAL loaded = info ? ::LoadResource(module, info) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        return false;
    found = {static_cast<const BYTE*>(data), ::SizeofResource(module, info), edge};
    return true;
}

} // namespace

bool FindPngResource(HMODULE module, const wchar_t* name, int edge, PngResource& found) noexcept {
    for (int drawn : kDrawnEdges) {
        if (drawn >= edge && Load(module, name, drawn, found))
            return true;
    }
    for (auto it = std::rbegin(kDrawnEdges); it != std::rend(kDrawnEdges); ++it) {
        if (*it < edge && Load(module, name, *it, found))
            return true;
    }
    return false;
}
