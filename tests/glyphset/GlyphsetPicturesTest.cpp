// The library's pictures come at the DPI helper's edge for each use, as the drawing made for that
// edge, soft edges included. A process keeps the DPI it started with, so each DPI runs in a child.
#include <wincodec.h>
#include <wrl/client.h>
#include <algorithm>
#include <vector>
#include "DpiProcess.h"
#include "GlyphsetTestSupport.h"
#include "icons/WorkflowIcons.h"

namespace {

using Microsoft::WRL::ComPtr;
using Pixels = std::vector<uint32_t>;  // 0xAARRGGBB, top-down

Pixels IconPixels(HICON icon, int& edge) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info))
        return {};
    ScopedHBITMAP colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap{};
    ::GetObjectW(colour.get(), sizeof(bitmap), &bitmap);
    edge = bitmap.bmWidth;
    BITMAPINFO format{{sizeof(BITMAPINFOHEADER), bitmap.bmWidth, -bitmap.bmHeight, 1, 32, BI_RGB}};
    Pixels pixels(static_cast<size_t>(bitmap.bmWidth) * bitmap.bmHeight);
    ScopedWindowDC screen(nullptr);
    ::GetDIBits(screen.get(), colour.get(), 0, bitmap.bmHeight, pixels.data(), &format, DIB_RGB_COLORS);
    return pixels;
}

// The build's rendering of `art` for `edge`, read by the system's decoder.
Pixels ArtPixels(const wchar_t* art, int edge) {
    const std::wstring path = glyphset_test::BinFolder() + L"..\\glyphset\\png\\" + art + L"-" +
                              std::to_wstring(edge) + L".png";
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    Pixels pixels(static_cast<size_t>(edge) * edge);
    const UINT stride = edge * sizeof(uint32_t);
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->CopyPixels(nullptr, stride, stride * edge, reinterpret_cast<BYTE*>(pixels.data()))))
        return {};
    return pixels;
}

void ExpectDrawing(HICON icon, const wchar_t* art, int edge) {
    ScopedHICON owned(icon);
    int iconEdge = 0;
    const Pixels actual = IconPixels(icon, iconEdge), expected = ArtPixels(art, edge);
    ASSERT_FALSE(expected.empty()) << art << " has no rendering for " << edge;
    EXPECT_EQ(iconEdge, edge) << art;
    EXPECT_TRUE(actual == expected) << art << " at " << edge << " is not the drawing made for that edge";
    EXPECT_TRUE(std::any_of(actual.begin(), actual.end(), [](uint32_t p) { return p >> 24 && p >> 24 != 0xFF; }))
        << art << " at " << edge << " lost its soft edges";
}

TEST(GlyphsetPictures, DISABLED_AtThisProcesssDpi) {
    const int dpi = lineage_test::ChildDpi();
    ASSERT_GT(dpi, 0);
    const int small = dpi * 16 / 96, large = dpi * 32 / 96;
    ScopedCOMInitializer com;
    glyphset_test::LocationValue location(glyphset_test::BinFolder().c_str());
    const struct {
        const wchar_t* name;
        int useType;
        const wchar_t* art;
    } kNamed[] = {{L"PNG_ASSOCIATED_BRANCHES", 3, L"associated_branches"},
                  {L"PNG_ASSOCIATED_BRANCHES", 4, L"associated_branches"},
                  {L"PNG_OVERLAY_SHARED", 3, L"overlay_shared"},
                  {L"PNG_OINK", 4, L"oink"}};
    for (const auto& picture : kNamed)
        ExpectDrawing(LoadWfPngIcon(picture.name, picture.useType), picture.art, picture.useType == 4 ? large : small);
    ExpectDrawing(LoadWfPngIconById(471), L"open_csv", small);
    ExpectDrawing(LoadWfIconById(304, 0, 0), L"tree_expanded", small);
    ExpectDrawing(LoadWfIconById(124, large, large), L"overlay_shared", large);
    // The icon cache loads numbered icons straight from the library.
    const HMODULE library = ::GetModuleHandleW(L"Glyphset.dll");
    ExpectDrawing(static_cast<HICON>(::LoadImageW(library, MAKEINTRESOURCEW(126), IMAGE_ICON, large, large, 0)),
                  L"folder_vault", large);
}

TEST(GlyphsetPictures, ComeAtTheDpiHelpersEdgeAsDrawnForIt) {
    for (int dpi : {96, 120, 144, 192})
        EXPECT_TRUE(lineage_test::RunTestAtDpi(dpi, "GlyphsetPictures.DISABLED_AtThisProcesssDpi")) << dpi << " DPI";
}

} // namespace
