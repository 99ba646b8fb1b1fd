#pragma once
// What the icon tests share: fixture locations, file-type registrations in the test prefix,
// reading icons back, counting live icons, a private temporary folder and a file-call recorder.
#include <windows.h>
#include <string>
#include <vector>
#include "HandleCounts.h"
#include "ImportPatch.h"
#include "base/ScopedHandle.h"

namespace icon_test {

// The folder of the test program (the build's bin folder), with a trailing backslash.
const std::wstring& BinFolder();
std::wstring BinPath(const wchar_t* relative);
std::wstring CurrentDirectory();

// File-type and class registrations under HKLM\Software\Classes (what HKEY_CLASSES_ROOT shows
// here), each removed again when the object goes.
class ClassesRegistration {
public:
    ClassesRegistration() = default;
    ClassesRegistration(const ClassesRegistration&) = delete;
    ClassesRegistration& operator=(const ClassesRegistration&) = delete;
    ~ClassesRegistration();

    // Sets the default value (REG_SZ, or REG_EXPAND_SZ) of Classes\subKey, creating the key.
    void SetDefault(const std::wstring& subKey, const std::wstring& value, DWORD type = REG_SZ);
    // Creates Classes\subKey without any value.
    void CreateKey(const std::wstring& subKey);
    // ".ext" → progId, and the ProgID's display name when one is given.
    void Type(const std::wstring& extension, const std::wstring& progId, const wchar_t* displayName = nullptr);
    // ProgID\shellex\IconHandler → clsid, and CLSID\{..}\InProcServer32 → server (Apartment).
    void IconHandler(const std::wstring& progId, const std::wstring& clsid, const std::wstring& server);
    void Server(const std::wstring& clsid, const std::wstring& server);

private:
    void Remember(const std::wstring& subKey);
    std::vector<std::wstring> m_topKeys;
};

// Colour (0x00RRGGBB) of the icon's centre pixel, or -1 when it cannot be read.
long CentreColour(HICON icon);
// Width of the icon's image in pixels, 0 when it cannot be read.
int IconWidth(HICON icon);

// Live icons and GDI objects, counted by walking the handle tables (Wine's GetGuiResources says 0).
using lineage_test::GuiObjects;
using lineage_test::LiveGdiObjectCount;
using lineage_test::LiveIconCount;

// Makes a fresh, empty folder the process's temporary folder (TMP and TEMP) and removes it,
// with whatever is left in it, when the object goes.
class PrivateTempFolder {
public:
    explicit PrivateTempFolder(const wchar_t* tag);
    PrivateTempFolder(const PrivateTempFolder&) = delete;
    PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;
    ~PrivateTempFolder();
    const std::wstring& Path() const { return m_path; }  // with a trailing backslash
    std::vector<std::wstring> Files() const;              // names, sorted

private:
    std::wstring m_path;
    std::wstring m_oldTmp, m_oldTemp;
};

// Points the program's import of dll!function at a replacement while the object lives.
using lineage_test::ImportPatch;

// True while `icon` names a live icon of this process.
bool IsLiveIcon(HICON icon);

// Records the program's own CreateFileW, GetFileAttributesW and DeleteFileW calls on paths
// below `prefix`, by patching the program's import table while the object lives.
struct FileCall {
    std::string function;
    std::wstring path;
    DWORD access = 0;
    DWORD share = 0;
    DWORD disposition = 0;
};
class FileCallRecorder {
public:
    explicit FileCallRecorder(const std::wstring& prefix);
    FileCallRecorder(const FileCallRecorder&) = delete;
    FileCallRecorder& operator=(const FileCallRecorder&) = delete;
    ~FileCallRecorder();
    bool Installed() const { return m_installed; }
    std::vector<FileCall> Calls() const;

private:
    bool m_installed = false;
};


// Colours of the fixture icons (0x00RRGGBB).
constexpr long kRed = 0xDC0000, kGreen = 0x00C800, kBlue = 0x0000E6, kMagenta = 0xC800C8, kOrange = 0xFF8C00,
               kYellow = 0xE6E600, kDrawn = 0x00C8C8;

bool WriteFileText(const std::wstring& path, const char* text);
std::string ReadFileText(const std::wstring& path);


}  // namespace icon_test
