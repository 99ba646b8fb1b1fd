#pragma once
// Wine answers 0 from GetGuiResources: walk the handle tables, whose 16-bit handles name any generation.
#include <windows.h>

namespace lineage_test {

inline int LiveIconCount() {  // icons and cursors
    int count = 0;
    for (UINT_PTR handle = 0x20; handle < 0x10000; handle += 2) {
        ICONINFO info{};
        if (::GetIconInfo(reinterpret_cast<HICON>(handle), &info)) {
            ++count;
            ::DeleteObject(info.hbmColor);
            ::DeleteObject(info.hbmMask);
        }
    }
    return count;
}

inline int LiveGdiObjectCount() {  // an icon holds its bitmaps here
    int count = 0;
    for (UINT_PTR handle = 1; handle < 0x10000; ++handle)
        count += ::GetObjectType(reinterpret_cast<HGDIOBJ>(handle)) != 0;
    return count;
}

} // namespace lineage_test
