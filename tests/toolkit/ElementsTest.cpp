// The icon, button and text elements: pixels drawn into 32-bpp DIBs, and the button's layout at three DPIs.
#include <gtest/gtest.h>
#include "DpiProcess.h"
#include "ElementTestSupport.h"
#include "ImportPatch.h"
#include "contracts/ZebSettings.h"
#include "toolkit/Button.h"
#include "toolkit/Icon.h"
#include "toolkit/Text.h"

using namespace element_test;
using namespace Gdiplus;

namespace {

std::vector<std::vector<uint32_t>> g_setPixels;  // x, y and value of each pixel written
GpStatus(WINGDIPAPI* g_setPixel)(GpBitmap*, INT, INT, ARGB) = nullptr;
GpStatus WINGDIPAPI RecordSetPixel(GpBitmap* bitmap, INT x, INT y, ARGB argb) {
    g_setPixels.push_back({static_cast<uint32_t>(x), static_cast<uint32_t>(y), argb});
    return g_setPixel(bitmap, x, y, argb);
}

// Disabled, B + G + R of 299 (grey 99) is lifted to 90, 300 stays 100; alpha halves, rounding down.
TEST(IconElement, WritesBackOnlyPartlyClearPixelsTakesItsRealSizeCentresOnARowAndGreysWhenDisabled) {
    const uint32_t columns[5] = {0x00000000, 0x80FF0000, 0x01123456, 0xFF00FF00, 0x00FFFFFF};
    const ScopedHICON icon = MakeIcon(5, [&](int x, int) { return columns[x]; });
    const lineage_test::ImportPatch patch("gdiplus.dll", "GdipBitmapSetPixel", reinterpret_cast<void*>(RecordSetPixel));
    g_setPixel = reinterpret_cast<decltype(g_setPixel)>(patch.Original());
    const RefPtr<BFC::Icon> element(new BFC::Icon(icon.get(), 32768));
    decltype(g_setPixels) expected;
    for (uint32_t i = 0; i < 10; ++i)
        expected.push_back({1 + i % 2, i / 2, columns[1 + i % 2]});
    EXPECT_EQ(g_setPixels, expected);
    element->SetCenterY(10);
    EXPECT_EQ(RectOf(*element), CRect(0, 8, 5, 13)) << "an odd height rounds the top down";
    const uint32_t greyColumns[4] = {0xFF646463, 0xFF646464, 0x01000000, 0xFFFFFFFF};
    const uint32_t greys[4] = {0x7F5A5A5A, 0x7F646464, 0x005A5A5A, 0x7FFFFFFF};
    const ScopedHICON greyIcon = MakeIcon(4, [&](int x, int) { return greyColumns[x]; });
    const RefPtr<BFC::Icon> disabled(new BFC::Icon(greyIcon.get(), 16));
    const Pixels p = DrawOnWhite(4, 4, [&](Graphics& g) { disabled->Draw(g, 0, 0, BFC::StateDisabled, 0, 0); });
    for (size_t i = 0; i < p.size(); ++i)
        EXPECT_EQ(p[i], Blend(greys[i % 4])) << "pixel " << i;
}

TEST(Button, HitsWithinItsHalfOpenRectAndAHiddenOneTakesNoRoomAndDrawsNothing) {
    const ScopedHICON icon = RedIcon();
    const RefPtr<BFC::Callback> command(new BFC::Callback(4007));
    const RefPtr<BFC::Button> button(new BFC::Button(new BFC::Icon(icon.get(), 16), command, L""));
    command->disabled = true;
    EXPECT_EQ(button->HitTest(10, 10, true), BFC::StateDisabled);
    command->disabled = false;
    EXPECT_EQ(button->HitTest(25, 23, true), BFC::StatePressed);
    EXPECT_EQ(button->HitTest(26, 10, false) + button->HitTest(10, 24, false), BFC::StateNormal);
    command->visible = false;
    EXPECT_TRUE(RectOf(*button).IsRectNull());
    EXPECT_EQ(DrawOnWhite(26, 24, [&](Graphics& g) { button->Draw(g, 0, 0, 1, 1000, 0); }), Pixels(26 * 24, kWhite));
}

struct FreshDpiHelper : CDPIHelper {};  // reads the user's setting again

// The DPI helper's button size for the DPI and the user's setting (0: none) sets the button's height and
// where a 16-pixel icon stands in it. Run at each DPI by Toolkit.AtEachDpi.
TEST(ButtonLayout, DISABLED_AtThisDpi) {
    constexpr struct { int dpi; DWORD setting; int buttonSize, height, iconTop; } kLayouts[] = {
        {96, 0, 24, 24, 4},   {96, 16, 16, 20, 2},  {96, 18, 18, 18, 1},  {144, 16, 24, 24, 4},
        {144, 12, 18, 18, 1}, {144, 10, 15, 20, 2}, {144, 0, 36, 36, 10}, {192, 12, 24, 24, 4},
        {192, 8, 16, 20, 2},  {192, 9, 18, 18, 1},  {192, 0, 48, 48, 16}};
    const int dpi = lineage_test::ChildDpi();
    const wchar_t* settings = L"Software\\Brightfold\\Applications\\Ledgerix Enterprise\\Settings";
    for (const auto& c : kLayouts) {
        if (c.dpi != dpi)
            continue;
        ::RegSetKeyValueW(HKEY_CURRENT_USER, settings, L"ToolbarButtonSize", REG_DWORD, &c.setting, c.setting ? 4 : 0);
        *CDPIHelper::get() = FreshDpiHelper();
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, settings, L"ToolbarButtonSize");
        const CDPIHelper& helper = *CDPIHelper::get();
        ASSERT_EQ(std::pair(helper.getSystemDPI(), helper.getToolbarButtonSizeExp()), std::pair(dpi, c.buttonSize));
        const ScopedHICON icon = RedIcon();
        const RefPtr<BFC::Icon> content(new BFC::Icon(icon.get(), 32768));
        const RefPtr<BFC::Button> button(new BFC::Button(content, nullptr, L""));
        EXPECT_EQ(RectOf(*button), CRect(0, 0, 26, c.height)) << c.setting;
        EXPECT_EQ(RectOf(*content), CRect(5, c.iconTop, 21, c.iconTop + 16)) << c.setting;
    }
}

TEST(Toolkit, AtEachDpi) {
    for (int dpi : {96, 144, 192})
        EXPECT_TRUE(lineage_test::RunTestAtDpi(dpi, "*.DISABLED_AtThisDpi")) << dpi << " DPI";
}

TEST(Text, IsCutWithAnEllipsisAtTheRightLimit) {
    const RefPtr<BFC::Text> text(new BFC::Text(L"Open as CSV file", 0xFF000000, nullptr, 0xFF330099, 0xFF8D8D8D));
    const int limit = 2 + RectOf(*text).Width() / 2;
    const auto inkEndsBefore = [](const Pixels& p, int x) {  // nothing drawn at x or right of it
        size_t i = 0;
        return std::all_of(p.begin(), p.end(), [&](uint32_t pixel) { return int(i++ % 200) < x || pixel == kWhite; });
    };
    const Pixels whole = DrawOnWhite(200, 50, [&](Graphics& g) { text->Draw(g, 2, 2, 0, 1000, 0); });
    const Pixels cut = DrawOnWhite(200, 50, [&](Graphics& g) { text->Draw(g, 2, 2, 0, limit, 0); });
    EXPECT_TRUE(!inkEndsBefore(whole, limit) && inkEndsBefore(cut, limit));
    EXPECT_NE(cut, whole);
}

} // namespace
