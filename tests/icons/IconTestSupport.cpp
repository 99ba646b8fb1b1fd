#include "IconTestSupport.h"
#include <gtest/gtest.h>
#include <objbase.h>
#include <algorithm>
#include <cstring>
#include <memory>
#include "base/ModulePath.h"

namespace icon_test {

namespace {

constexpr wchar_t kClasses[] = L"Software\\Classes\\";

// Every test runs in a single-threaded apartment, as the module's dialog thread does.
struct ComEnvironment : ::testing::Environment {
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { ::CoUninitialize(); }
};
[[maybe_unused]] ::testing::Environment* const g_com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

struct IconBitmaps {
    ICONINFO info{};
    bool ok;
    explicit IconBitmaps(HICON icon) : ok(icon && ::GetIconInfo(icon, &info)) {}
    ~IconBitmaps() {
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
    }
};

}  // namespace

const std::wstring& BinFolder() {
    static const std::wstring folder = FolderOf(ModulePath(nullptr));
    return folder;
}

std::wstring CurrentDirectory() {
    wchar_t path[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, path);
    return path;
}

std::string Utf8(const std::wstring& text) { return std::string(text.begin(), text.end()); }

ClassesRegistration::~ClassesRegistration() {
    for (auto it = m_topKeys.rbegin(); it != m_topKeys.rend(); ++it)
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kClasses + *it).c_str());
}

ScopedHKEY ClassesRegistration::Create(const std::wstring& subKey) {
    // CLSID keys are removed one class at a time, never the whole CLSID tree.
    const std::wstring top = subKey.substr(0, subKey.find(L'\\', subKey.rfind(L"CLSID\\", 0) == 0 ? 6 : 0));
    if (std::find(m_topKeys.begin(), m_topKeys.end(), top) == m_topKeys.end()) {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kClasses + top).c_str());  // leftovers of a crashed run
        m_topKeys.push_back(top);
    }
    ScopedHKEY key;
    EXPECT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kClasses + subKey).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                key.put(), nullptr), ERROR_SUCCESS);
    return key;
}

void ClassesRegistration::CreateKey(const std::wstring& subKey) { Create(subKey); }

void ClassesRegistration::SetDefault(const std::wstring& subKey, const std::wstring& value, DWORD type) {
    EXPECT_EQ(::RegSetValueExW(Create(subKey).get(), nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                               DWORD((value.size() + 1) * sizeof(wchar_t))), ERROR_SUCCESS);
}

void ClassesRegistration::Type(const std::wstring& extension, const std::wstring& progId, const wchar_t* displayName) {
    SetDefault(L"." + extension, progId);
    if (displayName)
        SetDefault(progId, displayName);
}

void ClassesRegistration::Server(const std::wstring& clsid, const std::wstring& server) {
    const std::wstring key = L"CLSID\\" + clsid + L"\\InProcServer32";
    SetDefault(key, server);
    const wchar_t model[] = L"Apartment";
    ::RegSetValueExW(Create(key).get(), L"ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(model), sizeof(model));
}

void ClassesRegistration::IconHandler(const std::wstring& progId, const std::wstring& clsid, const std::wstring& server) {
    SetDefault(progId + L"\\shellex\\IconHandler", clsid);
    Server(clsid, server);
}

long CentreColour(HICON icon) {
    IconBitmaps bitmaps(icon);
    BITMAP bm = {};
    if (!bitmaps.ok || !bitmaps.info.hbmColor || !::GetObjectW(bitmaps.info.hbmColor, sizeof(bm), &bm))
        return -1;
    BITMAPINFO bmi{{sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB}};
    std::vector<DWORD> pixels(size_t(bm.bmWidth) * bm.bmHeight);
    ScopedMemDC dc(::CreateCompatibleDC(nullptr));
    if (!::GetDIBits(dc.get(), bitmaps.info.hbmColor, 0, bm.bmHeight, pixels.data(), &bmi, DIB_RGB_COLORS))
        return -1;
    return long(pixels[size_t(bm.bmHeight / 2) * bm.bmWidth + bm.bmWidth / 2] & 0xFFFFFF);
}

int IconWidth(HICON icon) {
    IconBitmaps bitmaps(icon);
    BITMAP bm = {};
    return bitmaps.ok && ::GetObjectW(bitmaps.info.hbmColor ? bitmaps.info.hbmColor : bitmaps.info.hbmMask, sizeof(bm), &bm)
               ? bm.bmWidth : 0;
}

bool IsLiveIcon(HICON icon) { return IconBitmaps(icon).ok; }

PrivateTempFolder::PrivateTempFolder(const wchar_t* tag) {
    wchar_t base[MAX_PATH] = {}, value[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, base);
    m_path = std::wstring(base) + L"lineage-icons-" + tag + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    ::CreateDirectoryW(m_path.c_str(), nullptr);
    for (const auto& name : Files())
        ::DeleteFileW((m_path + name).c_str());
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
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(find, &data))
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    if (find != INVALID_HANDLE_VALUE)
        ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

std::wstring g_recordPrefix;
std::vector<FileCall> g_calls;
std::unique_ptr<ImportPatch> g_patches[3];

template <class Fn>
Fn Original(int i) { return reinterpret_cast<Fn>(g_patches[i]->Original()); }

bool Recorded(LPCWSTR path) {
    return path && !g_recordPrefix.empty() && _wcsnicmp(path, g_recordPrefix.c_str(), g_recordPrefix.size()) == 0;
}

HANDLE WINAPI RecordCreateFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD attributes, HANDLE templateFile) {
    if (Recorded(path))
        g_calls.push_back({"CreateFileW", path, access, share, disposition});
    return Original<decltype(&RecordCreateFile)>(0)(path, access, share, security, disposition, attributes, templateFile);
}

DWORD WINAPI RecordGetFileAttributes(LPCWSTR path) {
    if (Recorded(path))
        g_calls.push_back({"GetFileAttributesW", path});
    return Original<decltype(&RecordGetFileAttributes)>(1)(path);
}

BOOL WINAPI RecordDeleteFile(LPCWSTR path) {
    if (Recorded(path))
        g_calls.push_back({"DeleteFileW", path});
    return Original<decltype(&RecordDeleteFile)>(2)(path);
}

}  // namespace

FileCallRecorder::FileCallRecorder(const std::wstring& prefix) {
    g_recordPrefix = prefix;
    g_calls.clear();
    g_patches[0] = std::make_unique<ImportPatch>("kernel32.dll", "CreateFileW", reinterpret_cast<void*>(&RecordCreateFile));
    g_patches[1] = std::make_unique<ImportPatch>("kernel32.dll", "GetFileAttributesW",
                                                 reinterpret_cast<void*>(&RecordGetFileAttributes));
    g_patches[2] = std::make_unique<ImportPatch>("kernel32.dll", "DeleteFileW", reinterpret_cast<void*>(&RecordDeleteFile));
}

FileCallRecorder::~FileCallRecorder() {
    for (auto& patch : g_patches)
        patch.reset();
    g_recordPrefix.clear();
}

bool FileCallRecorder::Installed() const {
    return std::all_of(std::begin(g_patches), std::end(g_patches), [](const auto& p) { return p->Installed(); });
}

std::vector<FileCall> FileCallRecorder::Calls() const { return g_calls; }

bool WriteFileText(const std::wstring& path, const char* text) {
    ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    const DWORD size = DWORD(std::strlen(text));
    return file && ::WriteFile(file.get(), text, size, &written, nullptr) && written == size;
}

std::string ReadFileText(const std::wstring& path) {
    ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char buffer[256] = {};
    DWORD read = 0;
    if (file)
        ::ReadFile(file.get(), buffer, sizeof(buffer) - 1, &read, nullptr);
    return std::string(buffer, read);
}

}  // namespace icon_test
