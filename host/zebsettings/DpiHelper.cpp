// Pixel sizes for the screen's DPI. Everything is designed at 96 DPI and scaled by DPI/96.
//
// The nine values, fixed when the helper is made:
//   [0] 96, the design DPI            [5] the scale in percent (100 at 96 DPI)
//   [1] horizontal DPI (LOGPIXELSX)   [6] 0, unused
//   [2] DPI (LOGPIXELSY)              [7] toolbar button size inside the CAD host (24 scaled)
//   [3] small picture edge (16 scaled)[8] toolbar button size inside Explorer (24 scaled)
//   [4] large picture edge (32 scaled)
//
// A user may choose another toolbar button size: HKEY_CURRENT_USER
// "Software\Brightfold\Applications\Ledgerix Enterprise\Settings", DWORD "ToolbarButtonSize", in
// 96-DPI pixels (1 to 256; anything else keeps 24). It sets [7] and [8], scaled like the default,
// and is read once, when the helper is made.
#include "contracts/ZebSettings.h"

#include "base/ScopedHandle.h"

namespace {

constexpr int kDesignDpi = 96;
constexpr int kSmallImage = 16;
constexpr int kLargeImage = 32;
constexpr int kToolbarButton = 24;
constexpr int kLargestToolbarButton = 256;
constexpr wchar_t kSettingsKey[] = L"Software\\Brightfold\\Applications\\Ledgerix Enterprise\\Settings";
constexpr wchar_t kToolbarButtonValue[] = L"ToolbarButtonSize";

enum Slot { DesignDpi, DpiX, DpiY, SmallImage, LargeImage, ScalePercent, Unused, ButtonBF, ButtonExp };

// The screen DC gives the system DPI, which is what a DPI-aware module lays out for.
int ScreenDpi(int index) noexcept {
    ScopedWindowDC screen(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen.get(), index) : 0;
    return dpi > 0 ? dpi : kDesignDpi;
}

int ToolbarButtonSize() noexcept {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, kToolbarButtonValue, RRF_RT_REG_DWORD, nullptr, &value,
                       &size) != ERROR_SUCCESS ||
        value < 1 || value > kLargestToolbarButton)
        return kToolbarButton;
    return static_cast<int>(value);
}

}  // namespace

CDPIHelper::CDPIHelper() {
    const int dpi = ScreenDpi(LOGPIXELSY);
    const auto scale = [dpi](int value) { return ::MulDiv(value, dpi, kDesignDpi); };
    m_values[DesignDpi] = kDesignDpi;
    m_values[DpiX] = ScreenDpi(LOGPIXELSX);
    m_values[DpiY] = dpi;
    m_values[SmallImage] = scale(kSmallImage);
    m_values[LargeImage] = scale(kLargeImage);
    m_values[ScalePercent] = scale(100);
    m_values[Unused] = 0;
    const int button = ToolbarButtonSize();
    m_values[ButtonBF] = scale(button);
    m_values[ButtonExp] = scale(button);
}

// Made on first use (thread-safe) and kept until the library unloads.
CDPIHelper* CDPIHelper::get() {
    static CDPIHelper helper;
    return &helper;
}

// Uses other than the large one are small pictures: lists, menus, toolbars, window icons.
int CDPIHelper::getDesiredBitmapImageSz(e_kivImageUseType use) {
    return use == kivImageUseLarge ? m_values[LargeImage] : m_values[SmallImage];
}

// Pictures are square; the base size of the caller's artwork does not change the answer.
CSize CDPIHelper::getDesiredBitmapImageSize(e_kivImageUseType use, CSize /*base*/) {
    const int edge = getDesiredBitmapImageSz(use);
    return CSize(edge, edge);
}

int CDPIHelper::scaleY(int value) {
    return ::MulDiv(value, m_values[DpiY], kDesignDpi);
}
