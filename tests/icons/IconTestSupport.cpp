#include "IconTestSupport.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <algorithm>
#include <cstring>
#include <memory>

namespace icon_test {

namespace {

constexpr wchar_t kClasses[] = L"Software\\Classes\\";

// Every test runs in a single-threaded apartment, as the module's dialog thread does.
class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { ::CoUninitialize(); }
};
[[maybe_unused]] ::testing::Environment* const g_com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace

const std::wstring& BinFolder() {
    static const std::wstring folder = [] {
        wchar_t path[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring p(path);
        return p.substr(0, p.rfind(L'\\') + 1);
    }();
    return folder;
}

std::wstring BinPath(const wchar_t* relative) { return BinFolder() + relative; }

std::wstring CurrentDirectory() {
    wchar_t path[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, path);
    return path;
}

ClassesRegistration::~ClassesRegistration() {
    for (auto it = m_topKeys.rbegin(); it != m_topKeys.rend(); ++it)
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kClasses + *it).c_str());
}

void ClassesRegistration::Remember(const std::wstring& subKey) {
    // CLSID keys are removed one class at a time, never the whole CLSID tree.
    std::wstring top = subKey.substr(0, subKey.find(L'\\'));
    if (top == L"CLSID") {
        const size_t end = subKey.find(L'\\', 6);
        top = subKey.substr(0, end);
    }
    if (std::find(m_topKeys.begin(), m_topKeys.end(), top) == m_topKeys.end()) {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kClasses + top).c_str());  // leftovers of a crashed run
        m_topKeys.push_back(top);
    }
}

void ClassesRegistration::CreateKey(const std::wstring& subKey) {
    Remember(subKey);
    ScopedHKEY key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kClasses + subKey).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
}

void ClassesRegistration::SetDefault(const std::wstring& subKey, const std::wstring& value, DWORD type) {
    Remember(subKey);
    ScopedHKEY key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kClasses + subKey).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(key.get(), nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

void ClassesRegistration::Type(const std::wstring& extension, const std::wstring& progId, const wchar_t* displayName) {
    SetDefault(L"." + extension, progId);
    if (displayName)
        SetDefault(progId, displayName);
}

void ClassesRegistration::Server(const std::wstring& clsid, const std::wstring& server) {
    SetDefault(L"CLSID\\" + clsid + L"\\InProcServer32", server);
    ScopedHKEY key;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kClasses + (L"CLSID\\" + clsid + L"\\InProcServer32")).c_str(), 0,
                              KEY_ALL_ACCESS, key.put()),
              ERROR_SUCCESS);
    const wchar_t model[] = L"Apartment";
    ASSERT_EQ(::RegSetValueExW(key.get(), L"ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(model),
                               sizeof(model)),
              ERROR_SUCCESS);
}

void ClassesRegistration::IconHandler(const std::wstring& progId, const std::wstring& clsid, const std::wstring& server) {
    SetDefault(progId + L"\\shellex\\IconHandler", clsid);
    Server(clsid, server);
}

namespace {

struct IconBitmaps {
    ICONINFO info{};
    bool ok = false;
    explicit IconBitmaps(HICON icon) { ok = icon && ::GetIconInfo(icon, &info); }
    ~IconBitmaps() {
        if (!ok) return;
        if (info.hbmColor) ::DeleteObject(info.hbmColor);
        if (info.hbmMask) ::DeleteObject(info.hbmMask);
    }
};

}  // namespace

long CentreColour(HICON icon) {
    IconBitmaps bitmaps(icon);
    if (!bitmaps.ok || !bitmaps.info.hbmColor)
        return -1;
    BITMAP bm = {};
    if (!::GetObjectW(bitmaps.info.hbmColor, sizeof(bm), &bm))
        return -1;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = bm.bmWidth;
    bmi.bmiHeader.biHeight = -bm.bmHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    ScopedMemDC dc(::CreateCompatibleDC(nullptr));
    if (!::GetDIBits(dc.get(), bitmaps.info.hbmColor, 0, bm.bmHeight, pixels.data(), &bmi, DIB_RGB_COLORS))
        return -1;
    return static_cast<long>(pixels[static_cast<size_t>(bm.bmHeight / 2) * bm.bmWidth + bm.bmWidth / 2] & 0xFFFFFF);
}

int IconWidth(HICON icon) {
    IconBitmaps bitmaps(icon);
    if (!bitmaps.ok)
        return 0;
    BITMAP bm = {};
    HBITMAP bitmap = bitmaps.info.hbmColor ? bitmaps.info.hbmColor : bitmaps.info.hbmMask;
    return ::GetObjectW(bitmap, sizeof(bm), &bm) ? bm.bmWidth : 0;
}

PrivateTempFolder::PrivateTempFolder(const wchar_t* tag) {
    wchar_t base[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, base);
    m_path = std::wstring(base) + L"lineage-icons-" + tag + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    ::CreateDirectoryW(m_path.c_str(), nullptr);
    for (const auto& name : Files())
        ::DeleteFileW((m_path + name).c_str());
    wchar_t value[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"TMP", value, MAX_PATH)) m_oldTmp = value;
    if (::GetEnvironmentVariableW(L"TEMP", value, MAX_PATH)) m_oldTemp = value;
    ::SetEnvironmentVariableW(L"TMP", m_path.c_str());
    ::SetEnvironmentVariableW(L"TEMP", m_path.c_str());
}

PrivateTempFolder::~PrivateTempFolder() {
    ::SetEnvironmentVariableW(L"TMP", m_oldTmp.empty() ? nullptr : m_oldTmp.c_str());
    ::SetEnvironmentVariableW(L"TEMP", m_oldTemp.empty() ? nullptr : m_oldTemp.c_str());
    for (const auto& name : Files())
        ::DeleteFileW((m_path + name).c_str());
    ::RemoveDirectoryW(m_path.c_str());
}

std::vector<std::wstring> PrivateTempFolder::Files() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data = {};
    HANDLE find = ::FindFirstFileW((m_path + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

std::wstring g_recordPrefix;
std::vector<FileCall> g_calls;

using CreateFileWFn = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
using GetFileAttributesWFn = DWORD(WINAPI*)(LPCWSTR);
using DeleteFileWFn = BOOL(WINAPI*)(LPCWSTR);
CreateFileWFn g_createFile = nullptr;
GetFileAttributesWFn g_getAttributes = nullptr;
DeleteFileWFn g_deleteFile = nullptr;

bool Recorded(LPCWSTR path) {
    return path && !g_recordPrefix.empty() && _wcsnicmp(path, g_recordPrefix.c_str(), g_recordPrefix.size()) == 0;
}

HANDLE WINAPI RecordCreateFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD attributes, HANDLE templateFile) {
    if (Recorded(path))
        g_calls.push_back({"CreateFileW", path, access, share, disposition});
    return g_createFile(path, access, share, security, disposition, attributes, templateFile);
}

DWORD WINAPI RecordGetFileAttributes(LPCWSTR path) {
    if (Recorded(path))
        g_calls.push_back({"GetFileAttributesW", path});
    return g_getAttributes(path);
}

BOOL WINAPI RecordDeleteFile(LPCWSTR path) {
    if (Recorded(path))
        g_calls.push_back({"DeleteFileW", path});
    return g_deleteFile(path);
}

std::unique_ptr<ImportPatch> g_createPatch, g_attributesPatch, g_deletePatch;

}  // namespace

bool IsLiveIcon(HICON icon) {
    IconBitmaps bitmaps(icon);
    return bitmaps.ok;
}

FileCallRecorder::FileCallRecorder(const std::wstring& prefix) {
    g_recordPrefix = prefix;
    g_calls.clear();
    g_createPatch = std::make_unique<ImportPatch>("kernel32.dll", "CreateFileW", reinterpret_cast<void*>(&RecordCreateFile));
    g_attributesPatch = std::make_unique<ImportPatch>("kernel32.dll", "GetFileAttributesW",
                                                      reinterpret_cast<void*>(&RecordGetFileAttributes));
    g_deletePatch = std::make_unique<ImportPatch>("kernel32.dll", "DeleteFileW", reinterpret_cast<void*>(&RecordDeleteFile));
    g_createFile = reinterpret_cast<CreateFileWFn>(g_createPatch->Original());
    g_getAttributes = reinterpret_cast<GetFileAttributesWFn>(g_attributesPatch->Original());
    g_deleteFile = reinterpret_cast<DeleteFileWFn>(g_deletePatch->Original());
    m_installed = g_createPatch->Installed() && g_attributesPatch->Installed() && g_deletePatch->Installed();
}

FileCallRecorder::~FileCallRecorder() {
    g_createPatch.reset();
    g_attributesPatch.reset();
    g_deletePatch.reset();
    g_recordPrefix.clear();
}

std::vector<FileCall> FileCallRecorder::Calls() const { return g_calls; }

bool WriteFileText(const std::wstring& path, const char* text) {
    ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(std::strlen(text));
    return file && ::WriteFile(file.get(), text, size, &written, nullptr) && written == size;
}

std::string ReadFileText(const std::wstring& path) {
    ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return std::string();
    char buffer[256] = {};
    DWORD read = 0;
    ::ReadFile(file.get(), buffer, sizeof(buffer) - 1, &read, nullptr);
    return std::string(buffer, read);
}

}  // namespace icon_test
