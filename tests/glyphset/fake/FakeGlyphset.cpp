// Answers the numbered-picture entry points with any icon and tells which one was called, and how.
#include <windows.h>
wchar_t g_lastCall[96];
extern "C" {
__declspec(dllexport) const wchar_t* LastGlyphsetCall() { return g_lastCall; }
__declspec(dllexport) HICON ghLoadWfPNGImageIconImpl(int number, int flags, int reserved1, int reserved2) {
    ::wsprintfW(g_lastCall, L"png %d %d %d %d", number, flags, reserved1, reserved2);
    return ::CopyIcon(::LoadIconW(nullptr, IDI_APPLICATION));
}
__declspec(dllexport) HICON ghLoadWfIconImpl(int number, int type, int flags, int width, int height) {
    ::wsprintfW(g_lastCall, L"icon %d %d %d %d %d", number, type, flags, width, height);
    return ::CopyIcon(::LoadIconW(nullptr, IDI_APPLICATION));
}
}
