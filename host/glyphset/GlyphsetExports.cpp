// The library's three entry points, exported under their plain names. Every icon they hand out
// belongs to the caller, so a caller's LR_SHARED is not honoured.
#include <new>
#include <type_traits>
#include "PngIcon.h"
#include "base/ModulePath.h"
#include "contracts/Glyphset.h"
#include "contracts/ZebSettings.h"

namespace {

HMODULE ThisModule() noexcept {
    static const int anchor = 0;
    return ModuleContaining(&anchor);
}

int EdgeFor(int useType) noexcept {
    return CDPIHelper::get()->getDesiredBitmapImageSz(static_cast<e_kivImageUseType>(useType));
}

bool IsResourceNumber(int number) noexcept {
    return number > 0 && number <= 0xFFFF;
}

HICON LoadPicture(const wchar_t* name, int edge) noexcept {
    try {
        return LoadPngIcon(ThisModule(), name, edge);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace

extern "C" {

__declspec(dllexport) HICON ghLoadWFPngImageIconAsPerDPI(const wchar_t* pngName, int useType) noexcept {
    return pngName && *pngName ? LoadPicture(pngName, EdgeFor(useType)) : nullptr;
}

// Numbered PNG pictures come at the small edge; the other three arguments change nothing.
__declspec(dllexport) HICON ghLoadWfPNGImageIconImpl(int number, int, int, int) noexcept {
    return IsResourceNumber(number) ? LoadPicture(MAKEINTRESOURCEW(number), EdgeFor(kivImageUseSmall)) : nullptr;
}

// An edge of 0 is the small edge.
__declspec(dllexport) HICON ghLoadWfIconImpl(int number, int type, int flags, int width, int height) noexcept {
    if (type != IMAGE_ICON || !IsResourceNumber(number))
        return nullptr;
    const int small = EdgeFor(kivImageUseSmall);
    return static_cast<HICON>(::LoadImageW(ThisModule(), MAKEINTRESOURCEW(number), IMAGE_ICON, width ? width : small,
                                           height ? height : small, flags & ~(LR_SHARED | LR_LOADFROMFILE)));
}

} // extern "C"

static_assert(std::is_convertible_v<decltype(&ghLoadWFPngImageIconAsPerDPI), GhLoadWfPngImageIconAsPerDpiFn>);
static_assert(std::is_convertible_v<decltype(&ghLoadWfPNGImageIconImpl), GhLoadWfPngImageIconImplFn>);
static_assert(std::is_convertible_v<decltype(&ghLoadWfIconImpl), GhLoadWfIconImplFn>);
