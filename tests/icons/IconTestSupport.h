#pragma once
// What the icon tests share: fixture locations, file-type registrations in the test prefix,
// reading icons back and a temporary folder of their own.
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include "FixtureHandlers.h"
#include "ImportPatch.h"
#include "base/ScopedHandle.h"
#include "icons/IconLookup.h"

namespace icon_test {

using namespace icon_fixtures;
using lineage_test::ImportPatch;

// A file under the test program's folder.
std::wstring BinPath(const wchar_t* relative);
std::wstring CurrentDirectory();

// Registrations under HKLM\Software\Classes (what HKEY_CLASSES_ROOT shows), each top key removed
// again when the object goes.
class ClassesRegistration {
public:
    ClassesRegistration() = default;
    ClassesRegistration(const ClassesRegistration&) = delete;
    ClassesRegistration& operator=(const ClassesRegistration&) = delete;
    ~ClassesRegistration();

    void SetDefault(const std::wstring& subKey, const std::wstring& value, DWORD type = REG_SZ);
    // ".ext" to progId, and the ProgID's display name when one is given.
    void Type(const std::wstring& extension, const std::wstring& progId, const wchar_t* displayName = nullptr);
    void Server(const std::wstring& clsid, const std::wstring& server);  // in-process, Apartment
    void IconHandler(const std::wstring& progId, HandlerKind kind);

private:
    std::vector<std::wstring> m_topKeys;
};

// The fixture handlers: class id text, server path, and what the server's last handler saw
// (null while the server is not loaded).
std::wstring ClassIdText(HandlerKind kind);
std::wstring ServerPath(HandlerKind kind);
const HandlerCall* LastCall(HandlerKind kind);

// The icon's colour image, top row first, and its width; empty without an icon.
std::vector<DWORD> IconPixels(HICON icon, int* width = nullptr);
// Colour (0x00RRGGBB) of the icon's centre pixel, or -1 without an icon; its width in pixels.
long CentreColour(HICON icon);
int IconWidth(HICON icon);

// Runs `body` twice: the second run must leave no icon and no GDI object behind.
void RunTwiceLeavingNothing(const std::function<void()>& body);

// The process's temporary folder (TMP and TEMP) for the whole run: a fresh one, removed at the end;
// its file names, sorted.
const std::wstring& TempFolder();  // with a trailing backslash
std::vector<std::wstring> TempFiles();

bool WriteFileText(const std::wstring& path, const char* text);

// Colours of the fixture icons (0x00RRGGBB).
constexpr long kRed = 0xDC0000, kGreen = 0x00C800, kBlue = 0x0000E6, kMagenta = 0xC800C8, kOrange = 0xFF8C00;

}  // namespace icon_test
