#pragma once
// What the export tests share: scratch files, registry values and environment variables that
// are put back afterwards, and the expected bytes of an exported file.
#include <windows.h>
#include <string>
#include <vector>
#include "export/FileListExport.h"

// A folder of its own under the temporary folder, removed with its files on destruction.
class ScratchFolder {
public:
    ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();
    const std::wstring& Path() const { return m_path; }
    std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }
    std::vector<std::wstring> Files() const;
    // `name` in the folder, holding `bytes`.
    std::wstring Write(const std::wstring& name, const std::string& bytes) const;
private:
    std::wstring m_path;
};

inline bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
std::string ReadBytes(const std::wstring& path);
std::vector<std::string> ReadUtf8Lines(const std::wstring& path);
std::string Utf8(const std::wstring& text);
// FF FE, then every line as UTF-16LE followed by CR LF.
std::string Utf16File(const std::vector<std::wstring>& lines);

// One registry value, put back on destruction as it was on construction.
class ScopedRegistryValue {
public:
    ScopedRegistryValue(HKEY root, std::wstring subKey, std::wstring name);
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;
    ~ScopedRegistryValue();
    void Set(const wchar_t* text);  // nullptr removes the value
private:
    HKEY m_root;
    std::wstring m_subKey, m_name;
    bool m_existed = false;
    DWORD m_type = REG_NONE;
    std::vector<BYTE> m_data;
};

// A key under HKLM\Software\Classes made for one test and removed afterwards.
class ScopedClassKey {
public:
    explicit ScopedClassKey(std::wstring name) : m_name(L"Software\\Classes\\" + std::move(name)) {}
    ScopedClassKey(const ScopedClassKey&) = delete;
    ScopedClassKey& operator=(const ScopedClassKey&) = delete;
    ~ScopedClassKey() { ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, m_name.c_str()); }
    void Set(const std::wstring& subKey, const std::wstring& value);  // the default value of name\subKey
private:
    std::wstring m_name;
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

// TMP and TEMP pointed at `folder` while the object lives.
struct ScopedTempFolder {
    explicit ScopedTempFolder(const std::wstring& folder) : tmp(L"TMP", folder), temp(L"TEMP", folder) {}
    ScopedEnvironment tmp, temp;
};

// The user's list separator and the ".csv" type's class with its description, unset at first.
class SeparatorSettings {
public:
    SeparatorSettings();
    void ListSeparator(const wchar_t* text) { m_sList.Set(text); }
    // ".csv" to `className` (nullptr: unregistered), described by `description` when given.
    void CsvClass(const wchar_t* className, const wchar_t* description = nullptr);
private:
    ScopedRegistryValue m_sList;
    ScopedRegistryValue m_csvClass;
    ScopedClassKey m_class{L"LineageTest.CSV"};
};

// A list as the dialog would hand it over: `rows` of texts for columns 1 and up.
ExportSource MakeSource(std::vector<std::wstring> headings, std::vector<std::vector<std::wstring>> rows,
                        std::wstring date = L"23/11/1987 14:45:56");
