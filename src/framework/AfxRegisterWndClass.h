#pragma once
#include <windows.h>
#include <string>

// A window class with these traits, registered once per combination under a name made of
// them, using the default window procedure (the window object routes the messages).
// Empty when the class cannot be registered.
std::wstring AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                                 HICON icon = nullptr);

// The instance such classes are registered under: the module this code is linked into.
HINSTANCE AfxClassInstance() noexcept;
