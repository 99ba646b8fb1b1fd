#include "icons/ImageListXP.h"

ImageListXP::~ImageListXP() {
    HIMAGELIST list = Detach();
    if (!list)
        return;
    // A refused removal must not keep the loop going.
    while (::ImageList_GetImageCount(list) > 0 && ::ImageList_Remove(list, 0)) {
    }
    ::ImageList_Destroy(list);
}
