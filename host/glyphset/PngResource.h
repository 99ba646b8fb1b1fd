#pragma once
// Where the library keeps its pictures: each drawing is a PNG resource of type "PNG<edge>" (for
// example "PNG24") under the picture's name or number, one per edge it was drawn at.
#include <windows.h>

struct PngResource {
    const BYTE* data = nullptr;
    DWORD size = 0;
    int edge = 0;  // the edge the drawing was made for
};

// The drawing of `name` made for `edge`; when there is none, the nearest larger one, else the
// largest. False when the module holds no drawing of that name.
[[nodiscard]] bool FindPngResource(HMODULE module, const wchar_t* name, int edge, PngResource& found) noexcept;
