#pragma once
// Live icons and GDI objects of this process. Wine answers 0 from GetGuiResources, so the handle
// tables are walked instead: their 16-bit handles name any generation of an entry.
#include <windows.h>

namespace lineage_test {

// Live icons and cursors.
int LiveIconCount();
// Live GDI objects (an icon holds its bitmaps here).
int LiveGdiObjectCount();
// GetGuiResources for this process: 0 under Wine, real counts on Windows.
DWORD GuiObjects(DWORD kind);

} // namespace lineage_test
