#pragma once
#include "framework/CImageList.h"

// An image list that empties itself before its handle is destroyed, so that whoever still
// shows the list (a list control given it as its image list) never draws a freed picture.
class ImageListXP : public CImageList {
public:
    ImageListXP() noexcept = default;
    ~ImageListXP() override;
};
