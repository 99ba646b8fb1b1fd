#pragma once
#include <windows.h>

// Shows `text` in a message box owned by the calling thread's active window (no owner when
// the thread has none) and captioned with the application's name. Answers the button the
// user pressed, or 0 when the box could not be shown.
int AfxMessageBox(const wchar_t* text, UINT type = MB_OK);
