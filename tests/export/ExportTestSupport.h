#pragma once
// What the export tests share: registry values and environment variables that are put back
// afterwards, file helpers, and the expected bytes of an exported file.
#include <windows.h>

#include <string>
#include <vector>

#include "export/FileListExport.h"

// The folder of the test program, where the build puts every binary.
std::wstring BinFolder();
// The temporary folder as GetTempPathW gives it (ends in a backslash).
std::wstring TempFolder();
// A folder of its own under the temporary folder, removed with its files on destruction.
class ScratchFolder {
public:
    ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();
    const std::wstring& Path() const { return m_path; }
    std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }
private:
    std::wstring m_path;
};

bool FileExists(const std::wstring& path);
// `path` as GetFullPathNameW normalises it.
std::wstring FullPathName(const std::wstring& path);
std::string ReadBytes(const std::wstring& path);
std::vector<std::string> ReadUtf8Lines(const std::wstring& path);
std::string Utf8(const std::wstring& text);

// FF FE, then every line as UTF-16LE followed by CR LF.
std::string Utf16File(const std::vector<std::wstring>& lines);

// One registry value, remembered on construction and put back on destruction.
class ScopedRegistryValue {
public:
    ScopedRegistryValue(HKEY root, std::wstring subKey, std::wstring name);
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;
    ~ScopedRegistryValue();
    void Set(const std::wstring& text);
    void Remove();
private:
    HKEY m_root;
    std::wstring m_subKey;
    std::wstring m_name;
    bool m_existed = false;
    DWORD m_type = REG_NONE;
    std::vector<BYTE> m_data;
};

// A registry key tree made for one test and removed afterwards.
class ScopedRegistryTree {
public:
    ScopedRegistryTree(HKEY root, std::wstring subKey);
    ScopedRegistryTree(const ScopedRegistryTree&) = delete;
    ScopedRegistryTree& operator=(const ScopedRegistryTree&) = delete;
    ~ScopedRegistryTree();
    void SetString(const std::wstring& relativeKey, const wchar_t* name, const std::wstring& value);
private:
    HKEY m_root;
    std::wstring m_subKey;
};

class ScopedEnvironment {
public:
    ScopedEnvironment(std::wstring name, const std::wstring& value);
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment();
private:
    std::wstring m_name;
    bool m_existed = false;
    std::wstring m_old;
};

// The user's list separator, the CSV type's class and its description, set for one test.
class SeparatorSettings {
public:
    SeparatorSettings();
    // nullptr removes "sList".
    void ListSeparator(const wchar_t* text);
    // The ".csv" type's class and that class's description; nullptr leaves the type unregistered.
    void CsvClass(const wchar_t* className, const wchar_t* description = nullptr);
private:
    ScopedRegistryValue m_sList;
    ScopedRegistryValue m_csvClass;
    ScopedRegistryTree m_classTree;
};

// A list as the dialog would hand it over: `rows` of texts for columns 1 and up.
ExportSource MakeSource(std::wstring branch, std::wstring creator, std::wstring date,
                        std::vector<std::wstring> headings, std::vector<std::vector<std::wstring>> rows);
