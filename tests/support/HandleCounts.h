#pragma once
// Live icons and GDI objects of this process. Wine answers 0 from GetGuiResources, so the handle
// tables are walked instead: their 16-bit handles name any generation of an entry.
#include <windows.h>

namespace lineage_test {

int LiveIconCount();       // icons and cursors
int LiveGdiObjectCount();  // an icon holds its bitmaps here

} // namespace lineage_test
