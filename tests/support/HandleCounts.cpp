#include "HandleCounts.h"

namespace lineage_test {

int LiveIconCount() {
    int count = 0;
    for (UINT_PTR handle = 0x20; handle < 0x10000; handle += 2) {
        ICONINFO info{};
        if (!::GetIconInfo(reinterpret_cast<HICON>(handle), &info))
            continue;
        ++count;
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
    }
    return count;
}

int LiveGdiObjectCount() {
    int count = 0;
    for (UINT_PTR handle = 1; handle < 0x10000; ++handle)
        count += ::GetObjectType(reinterpret_cast<HGDIOBJ>(handle)) != 0;
    return count;
}

} // namespace lineage_test
