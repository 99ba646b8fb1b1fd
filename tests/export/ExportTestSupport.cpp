#include "ExportTestSupport.h"
#include "HostInstallation.h"
#include <gtest/gtest.h>
#include <memory>
#include "base/ScopedHandle.h"

namespace {
// The tests' thread is a single-threaded apartment for the whole run, as the host's UI thread is.
struct ComEnvironment : ::testing::Environment {
    void SetUp() override { ::CoInitialize(nullptr); }
    void TearDown() override { ::CoUninitialize(); }
};
::testing::Environment* const g_com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);
// The toolbar's pictures come through the host's registered installation.
::testing::Environment* const g_installation = ::testing::AddGlobalTestEnvironment(new HostInstallation);

void SetText(HKEY root, const std::wstring& subKey, const wchar_t* name, const std::wstring& text) {
    ::RegSetKeyValueW(root, subKey.c_str(), name, REG_SZ, text.c_str(), DWORD((text.size() + 1) * sizeof(wchar_t)));
}
} // namespace

ScratchFolder::ScratchFolder() {
    static int counter = 0;
    wchar_t temp[MAX_PATH + 2] = {};
    ::GetTempPathW(MAX_PATH + 2, temp);
    m_path = temp + (L"lineage-export-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
    ::CreateDirectoryW(m_path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    for (const std::wstring& name : Files())
        ::DeleteFileW(File(name).c_str());
    ::RemoveDirectoryW(m_path.c_str());
}

std::vector<std::wstring> ScratchFolder::Files() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(File(L"*").c_str(), &data);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(find, &data))
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    if (find != INVALID_HANDLE_VALUE)
        ::FindClose(find);
    return names;
}

std::wstring ScratchFolder::Write(const std::wstring& name, const std::string& bytes) const {
    const std::wstring path = File(name);
    ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr);
    return path;
}

std::string ReadBytes(const std::wstring& path) {
    ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (file && ::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

std::vector<std::string> ReadUtf8Lines(const std::wstring& path) {
    const std::string bytes = ReadBytes(path);
    std::vector<std::string> lines;
    for (size_t start = 0, end; start < bytes.size(); start = end + 1) {
        end = std::min(bytes.find('\n', start), bytes.size());
        lines.push_back(bytes.substr(start, end - start));
    }
    return lines;
}

std::string Utf8(const std::wstring& text) {
    std::string utf8(text.size() * 3, '\0');
    utf8.resize(::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), utf8.data(), int(utf8.size()),
                                      nullptr, nullptr));
    return utf8;
}

std::string Utf16File(const std::vector<std::wstring>& lines) {
    std::wstring text = L"\xFEFF";
    for (const std::wstring& line : lines)
        text += line + L"\r\n";
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

ScopedRegistryValue::ScopedRegistryValue(HKEY root, std::wstring subKey, std::wstring name)
    : m_root(root), m_subKey(std::move(subKey)), m_name(std::move(name)) {
    DWORD size = 0;
    if (::RegGetValueW(m_root, m_subKey.c_str(), m_name.c_str(), RRF_RT_ANY, &m_type, nullptr, &size) != ERROR_SUCCESS)
        return;
    m_data.resize(size);
    m_existed = ::RegGetValueW(m_root, m_subKey.c_str(), m_name.c_str(), RRF_RT_ANY, &m_type, m_data.data(), &size) ==
                ERROR_SUCCESS;
}

ScopedRegistryValue::~ScopedRegistryValue() {
    if (m_existed)
        ::RegSetKeyValueW(m_root, m_subKey.c_str(), m_name.c_str(), m_type, m_data.data(), DWORD(m_data.size()));
    else
        Set(nullptr);
}

void ScopedRegistryValue::Set(const wchar_t* text) {
    if (text)
        SetText(m_root, m_subKey, m_name.c_str(), text);
    else
        ::RegDeleteKeyValueW(m_root, m_subKey.c_str(), m_name.c_str());
}

void ScopedClassKey::Set(const std::wstring& subKey, const std::wstring& value) {
    SetText(HKEY_LOCAL_MACHINE, subKey.empty() ? m_name : m_name + L"\\" + subKey, nullptr, value);
}

ScopedEnvironment::ScopedEnvironment(std::wstring name, const std::wstring& value) : m_name(std::move(name)) {
    wchar_t old[4096];
    const DWORD n = ::GetEnvironmentVariableW(m_name.c_str(), old, 4096);
    m_existed = n > 0 && n < 4096;
    m_old.assign(old, m_existed ? n : 0);
    ::SetEnvironmentVariableW(m_name.c_str(), value.c_str());
}

ScopedEnvironment::~ScopedEnvironment() { ::SetEnvironmentVariableW(m_name.c_str(), m_existed ? m_old.c_str() : nullptr); }

SeparatorSettings::SeparatorSettings()
    : m_sList(HKEY_CURRENT_USER, L"Control Panel\\International", L"sList"),
      m_csvClass(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.csv", L"") {
    m_sList.Set(nullptr);
    m_csvClass.Set(nullptr);
}

void SeparatorSettings::CsvClass(const wchar_t* className, const wchar_t* description) {
    m_csvClass.Set(className);
    const std::wstring key = std::wstring(L"Software\\Classes\\") + (className ? className : L"");
    if (className && description) {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
        SetText(HKEY_LOCAL_MACHINE, key, nullptr, description);
    }
}

ExportSource MakeSource(std::vector<std::wstring> headings, std::vector<std::vector<std::wstring>> rows,
                        std::wstring date) {
    ExportSource source{nullptr, L"Release", L"anna", std::move(date), std::move(headings), int(rows.size())};
    auto table = std::make_shared<std::vector<std::vector<std::wstring>>>(std::move(rows));
    source.cellText = [table](int row, int column) { return (*table)[row][column - 1]; };
    return source;
}
