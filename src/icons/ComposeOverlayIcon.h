#pragma once
#include <windows.h>
#include <commctrl.h>

// `base` with the picture at `overlaySlot` of `list` drawn over it, as a new icon that belongs to
// the caller; null on failure. Pictures without an alpha channel become opaque where their mask
// says so. GDI+ must be running.
HICON ComposeOverlayIcon(HICON base, HIMAGELIST list, int overlaySlot);
