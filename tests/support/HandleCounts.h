#pragma once
// Live icons and GDI objects of this process. Wine answers 0 from GetGuiResources, so the handle
// tables are walked instead: their 16-bit handles name any generation of an entry.
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
