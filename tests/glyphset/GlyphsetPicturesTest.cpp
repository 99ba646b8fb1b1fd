// A process keeps the DPI it started with, so each DPI runs in a child.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include "../toolkit/ElementTestSupport.h"
#include "DpiProcess.h"
#include "GlyphsetTestSupport.h"
#include "icons/WorkflowIcons.h"

// "PNG_OPEN_CSV" is drawn in "open_csv.svg"; the build renders it as "open_csv-<edge>.png".
static void ExpectDrawing(HICON icon, std::wstring name, int edge) {
    const ScopedHICON owned(icon);
    ::CharLowerW(name.data());
    std::ifstream file(std::filesystem::path(glyphset_test::BinFolder() + L"..\\glyphset\\png\\" + name.substr(4) +
                                             L"-" + std::to_wstring(edge) + L".png"), std::ios::binary);
    std::vector<BYTE> png{std::istreambuf_iterator<char>(file), {}};
    const ScopedHICON drawing(
        ::CreateIconFromResourceEx(png.data(), static_cast<DWORD>(png.size()), TRUE, 0x30000, edge, edge, 0));
    const auto expected = element_test::IconPixels(drawing.get()), actual = element_test::IconPixels(icon);
    ASSERT_EQ(expected.size(), static_cast<size_t>(edge * edge)) << name << " has no rendering at " << edge;
    EXPECT_TRUE(actual == expected) << name << " at " << edge << " is not the drawing made for that edge";
    EXPECT_TRUE(std::any_of(actual.begin(), actual.end(), [](uint32_t p) { return p >> 24 && p >> 24 != 0xFF; }))
        << name << " at " << edge << " lost its soft edges";
}

TEST(GlyphsetPictures, DISABLED_AtThisProcesssDpi) {
    const int small = lineage_test::ChildDpi() * 16 / 96, large = small * 2;
    glyphset_test::LocationValue location(glyphset_test::BinFolder().c_str());
    for (const auto& [name, useType] : {std::pair{L"PNG_ASSOCIATED_BRANCHES", 3}, {L"PNG_ASSOCIATED_BRANCHES", 4},
                                        {L"PNG_OVERLAY_SHARED", 3}, {L"PNG_OINK", 4}})
        ExpectDrawing(LoadWfPngIcon(name, useType), name, useType == 4 ? large : small);
    ExpectDrawing(LoadWfPngIconById(471), L"PNG_OPEN_CSV", small);
    ExpectDrawing(LoadWfIconById(304, 0, 0), L"PNG_TREE_EXPANDED", small);
    ExpectDrawing(LoadWfIconById(124, large, large), L"PNG_OVERLAY_SHARED", large);
    // The icon cache loads numbered icons straight from the library.
    ExpectDrawing(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(L"Glyphset.dll"), MAKEINTRESOURCEW(126),
                                                  IMAGE_ICON, large, large, 0)), L"PNG_FOLDER_VAULT", large);
}

TEST(GlyphsetPictures, ComeAtTheDpiHelpersEdgeAsDrawnForIt) {
    for (int dpi : {96, 120, 144, 192})
        EXPECT_TRUE(lineage_test::RunTestAtDpi(dpi, "GlyphsetPictures.DISABLED_AtThisProcesssDpi")) << dpi << " DPI";
}
