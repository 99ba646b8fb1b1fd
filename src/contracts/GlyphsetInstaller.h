#pragma once
// Installation data of the host product that ships Glyphset.dll: the codes the installer knows
// the product and the library by. The installer package of the tests is generated from this
// file, so these lines are the only place the codes are written.
#include <windows.h>

#define GLYPHSET_PRODUCT_CODE L"{B9CD260A-DB26-4420-8E8C-3A3373F2E29D}"
#define GLYPHSET_UPGRADE_CODE_1 L"{3344C331-F87C-4FD8-9C89-1370A79BA160}"
#define GLYPHSET_UPGRADE_CODE_2 L"{4D1A7A5F-B36D-4AE8-9E20-5983131DCBB3}"
#define GLYPHSET_COMPONENT_CODE L"{20165F9C-FF68-4D1B-84EA-4B5352CC822A}"
