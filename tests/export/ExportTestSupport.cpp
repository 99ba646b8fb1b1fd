#include "ExportTestSupport.h"

#include <shlwapi.h>

#include <memory>

#include "base/ScopedHandle.h"

std::wstring BinFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::wstring TempFolder() {
    wchar_t folder[MAX_PATH + 2] = {};
    ::GetTempPathW(MAX_PATH + 2, folder);
    return folder;
}

ScratchFolder::ScratchFolder() {
    static int counter = 0;
    m_path = TempFolder() + L"lineage-export-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
             std::to_wstring(++counter);
    ::CreateDirectoryW(m_path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((m_path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileW((m_path + L"\\" + data.cFileName).c_str());
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(m_path.c_str());
}

bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring FullPathName(const std::wstring& path) {
    wchar_t full[MAX_PATH * 2] = {};
    const DWORD n = ::GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
    return n > 0 && n < MAX_PATH * 2 ? std::wstring(full, n) : path;
}

std::string ReadBytes(const std::wstring& path) {
    ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

std::vector<std::string> ReadUtf8Lines(const std::wstring& path) {
    const std::string bytes = ReadBytes(path);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string Utf8(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string utf8(n > 0 ? n : 0, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), n, nullptr,
                          nullptr);
    return utf8;
}

std::string Utf16File(const std::vector<std::wstring>& lines) {
    std::string bytes = "\xFF\xFE";
    auto put = [&bytes](wchar_t c) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    };
    for (const std::wstring& line : lines) {
        for (wchar_t c : line) put(c);
        put(L'\r');
        put(L'\n');
    }
    return bytes;
}

ScopedRegistryValue::ScopedRegistryValue(HKEY root, std::wstring subKey, std::wstring name)
    : m_root(root), m_subKey(std::move(subKey)), m_name(std::move(name)) {
    ScopedHKEY key;
    if (::RegOpenKeyExW(m_root, m_subKey.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), m_name.empty() ? nullptr : m_name.c_str(), nullptr, &m_type, nullptr,
                           &size) != ERROR_SUCCESS)
        return;
    m_data.resize(size);
    m_existed = ::RegQueryValueExW(key.get(), m_name.empty() ? nullptr : m_name.c_str(), nullptr, &m_type,
                                   m_data.data(), &size) == ERROR_SUCCESS;
}

ScopedRegistryValue::~ScopedRegistryValue() {
    if (!m_existed) {
        Remove();
        return;
    }
    ScopedHKEY key;
    if (::RegCreateKeyExW(m_root, m_subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) ==
        ERROR_SUCCESS)
        ::RegSetValueExW(key.get(), m_name.empty() ? nullptr : m_name.c_str(), 0, m_type, m_data.data(),
                         static_cast<DWORD>(m_data.size()));
}

void ScopedRegistryValue::Set(const std::wstring& text) {
    ScopedHKEY key;
    if (::RegCreateKeyExW(m_root, m_subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key.get(), m_name.empty() ? nullptr : m_name.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void ScopedRegistryValue::Remove() {
    ScopedHKEY key;
    if (::RegOpenKeyExW(m_root, m_subKey.c_str(), 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS)
        ::RegDeleteValueW(key.get(), m_name.empty() ? nullptr : m_name.c_str());
}

ScopedRegistryTree::ScopedRegistryTree(HKEY root, std::wstring subKey) : m_root(root), m_subKey(std::move(subKey)) {}

ScopedRegistryTree::~ScopedRegistryTree() {
    ::RegDeleteTreeW(m_root, m_subKey.c_str());
    ::RegDeleteKeyW(m_root, m_subKey.c_str());
}

void ScopedRegistryTree::SetString(const std::wstring& relativeKey, const wchar_t* name, const std::wstring& value) {
    const std::wstring path = relativeKey.empty() ? m_subKey : m_subKey + L"\\" + relativeKey;
    ScopedHKEY key;
    if (::RegCreateKeyExW(m_root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

ScopedEnvironment::ScopedEnvironment(std::wstring name, const std::wstring& value) : m_name(std::move(name)) {
    wchar_t old[4096];
    const DWORD n = ::GetEnvironmentVariableW(m_name.c_str(), old, 4096);
    m_existed = n > 0 && n < 4096;
    if (m_existed) m_old.assign(old, n);
    ::SetEnvironmentVariableW(m_name.c_str(), value.c_str());
}

ScopedEnvironment::~ScopedEnvironment() {
    ::SetEnvironmentVariableW(m_name.c_str(), m_existed ? m_old.c_str() : nullptr);
}

namespace {
constexpr wchar_t kTestCsvClass[] = L"Software\\Classes\\LineageTest.CSV";
}

SeparatorSettings::SeparatorSettings()
    : m_sList(HKEY_CURRENT_USER, L"Control Panel\\International", L"sList"),
      m_csvClass(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.csv", L""),
      m_classTree(HKEY_LOCAL_MACHINE, kTestCsvClass) {
    m_sList.Remove();
    m_csvClass.Remove();
}

void SeparatorSettings::ListSeparator(const wchar_t* text) {
    if (text)
        m_sList.Set(text);
    else
        m_sList.Remove();
}

void SeparatorSettings::CsvClass(const wchar_t* className, const wchar_t* description) {
    if (!className) {
        m_csvClass.Remove();
        return;
    }
    m_csvClass.Set(className);
    if (description) {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(L"Software\\Classes\\") + className).c_str());
        ScopedHKEY key;
        const std::wstring path = std::wstring(L"Software\\Classes\\") + className;
        if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                              nullptr) == ERROR_SUCCESS)
            ::RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(description),
                             static_cast<DWORD>((wcslen(description) + 1) * sizeof(wchar_t)));
    }
}

ExportSource MakeSource(std::wstring branch, std::wstring creator, std::wstring date,
                        std::vector<std::wstring> headings, std::vector<std::vector<std::wstring>> rows) {
    ExportSource source;
    source.branchName = std::move(branch);
    source.creator = std::move(creator);
    source.createdOn = std::move(date);
    source.headings = std::move(headings);
    source.rowCount = static_cast<int>(rows.size());
    auto table = std::make_shared<std::vector<std::vector<std::wstring>>>(std::move(rows));
    source.cellText = [table](int row, int column) { return (*table)[row][column - 1]; };
    return source;
}
