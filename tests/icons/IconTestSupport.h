#pragma once
// What the icon tests share: fixture locations, file-type registrations in the test prefix,
// reading icons back, a private temporary folder and a recorder of file calls.
#include <windows.h>
#include <string>
#include <vector>
#include "HandleCounts.h"
#include "ImportPatch.h"
#include "base/ScopedHandle.h"
#include "icons/IconLookup.h"

namespace icon_test {

using lineage_test::ImportPatch;
using lineage_test::LiveGdiObjectCount;
using lineage_test::LiveIconCount;

// The folder of the test program (the build's bin folder), with a trailing backslash.
const std::wstring& BinFolder();
inline std::wstring BinPath(const wchar_t* relative) { return BinFolder() + relative; }
std::wstring CurrentDirectory();
std::string Utf8(const std::wstring& text);

// Registrations under HKLM\Software\Classes (what HKEY_CLASSES_ROOT shows here), each top key
// removed again when the object goes.
class ClassesRegistration {
public:
    ClassesRegistration() = default;
    ClassesRegistration(const ClassesRegistration&) = delete;
    ClassesRegistration& operator=(const ClassesRegistration&) = delete;
    ~ClassesRegistration();

    void CreateKey(const std::wstring& subKey);
    void SetDefault(const std::wstring& subKey, const std::wstring& value, DWORD type = REG_SZ);
    // ".ext" to progId, and the ProgID's display name when one is given.
    void Type(const std::wstring& extension, const std::wstring& progId, const wchar_t* displayName = nullptr);
    // ProgID\shellex\IconHandler to clsid, and its in-process server (Apartment).
    void IconHandler(const std::wstring& progId, const std::wstring& clsid, const std::wstring& server);
    void Server(const std::wstring& clsid, const std::wstring& server);

private:
    ScopedHKEY Create(const std::wstring& subKey);
    std::vector<std::wstring> m_topKeys;
};

// Colour (0x00RRGGBB) of the icon's centre pixel, or -1 without an icon; its width in pixels.
long CentreColour(HICON icon);
int IconWidth(HICON icon);
// True while `icon` names a live icon of this process.
bool IsLiveIcon(HICON icon);

// A fresh folder made the process's temporary folder (TMP and TEMP), removed with its files.
class PrivateTempFolder {
public:
    explicit PrivateTempFolder(const wchar_t* tag);
    PrivateTempFolder(const PrivateTempFolder&) = delete;
    PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;
    ~PrivateTempFolder();
    const std::wstring& Path() const { return m_path; }  // with a trailing backslash
    std::vector<std::wstring> Files() const;              // names, sorted

private:
    std::wstring m_path, m_oldTmp, m_oldTemp;
};

// Records the program's own CreateFileW, GetFileAttributesW and DeleteFileW calls on paths
// below `prefix` while the object lives, by patching the program's imports.
struct FileCall {
    std::string function;
    std::wstring path;
    DWORD access = 0, share = 0, disposition = 0;
};
class FileCallRecorder {
public:
    explicit FileCallRecorder(const std::wstring& prefix);
    ~FileCallRecorder();
    bool Installed() const;
    std::vector<FileCall> Calls() const;
};

// Colours of the fixture icons (0x00RRGGBB).
constexpr long kRed = 0xDC0000, kGreen = 0x00C800, kBlue = 0x0000E6, kMagenta = 0xC800C8, kOrange = 0xFF8C00,
               kDrawn = 0x00C8C8;

bool WriteFileText(const std::wstring& path, const char* text);
std::string ReadFileText(const std::wstring& path);

}  // namespace icon_test
