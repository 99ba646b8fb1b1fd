#include "PngIcon.h"
#include "AlphaIcon.h"
#include "AreaScale.h"
#include "PngDecoder.h"
#include "PngResource.h"

HICON LoadPngIcon(HMODULE module, const wchar_t* name, int edge) {
    PngResource drawing;
    BgraImage image;
    if (edge <= 0 || !FindPngResource(module, name, edge, drawing) || !DecodePng(drawing.data, drawing.size, image))
        return nullptr;
    if (image.width != edge || image.height != edge)
        image = ScaleByArea(image, edge, edge);
    return CreateAlphaIcon(image);
}
