#include "PngDecoder.h"
#include <wincodec.h>
#include <wrl/client.h>
#include "base/ScopedHandle.h"

using Microsoft::WRL::ComPtr;

bool DecodePng(const BYTE* data, DWORD size, BgraImage& image) {
    // Callers need not have joined COM; a thread already in the multithreaded apartment is fine too.
    ScopedCOMInitializer com;
    if (FAILED(com.hr()) && com.hr() != RPC_E_CHANGED_MODE)
        return false;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(data), size)) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0)
        return false;
    BgraImage decoded{static_cast<int>(width), static_cast<int>(height), {}};
    decoded.pixels.resize(size_t{width} * height);
    const UINT stride = width * sizeof(uint32_t);
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, reinterpret_cast<BYTE*>(decoded.pixels.data()))))
        return false;
    image = std::move(decoded);
    return true;
}
