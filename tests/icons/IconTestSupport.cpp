#include "IconTestSupport.h"
#include <gtest/gtest.h>
#include <objbase.h>
#include <algorithm>
#include <cstring>
#include "HandleCounts.h"
#include "base/ModulePath.h"

namespace icon_test {

namespace {

constexpr wchar_t kClasses[] = L"Software\\Classes\\";

// Every test runs in a single-threaded apartment, as the module's dialog thread does, with a
// temporary folder of its own.
struct IconTestEnvironment : ::testing::Environment {
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ::CreateDirectoryW(TempFolder().c_str(), nullptr);
        ::SetEnvironmentVariableW(L"TMP", TempFolder().c_str());
        ::SetEnvironmentVariableW(L"TEMP", TempFolder().c_str());
    }
    void TearDown() override {
        for (const auto& name : TempFiles())
            ::DeleteFileW((TempFolder() + name).c_str());
        ::RemoveDirectoryW(TempFolder().c_str());
        ::CoUninitialize();
    }
};
[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new IconTestEnvironment);

}  // namespace

std::wstring BinPath(const wchar_t* relative) { return FolderOf(ModulePath(nullptr)) + relative; }

std::wstring CurrentDirectory() {
    wchar_t path[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, path);
    return path;
}

ClassesRegistration::~ClassesRegistration() {
    for (auto it = m_topKeys.rbegin(); it != m_topKeys.rend(); ++it)
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kClasses + *it).c_str());
}

void ClassesRegistration::SetDefault(const std::wstring& subKey, const std::wstring& value, DWORD type) {
    // CLSID keys are removed one class at a time, never the whole CLSID tree.
    const std::wstring top = subKey.substr(0, subKey.find(L'\\', subKey.rfind(L"CLSID\\", 0) == 0 ? 6 : 0));
    if (std::find(m_topKeys.begin(), m_topKeys.end(), top) == m_topKeys.end()) {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kClasses + top).c_str());  // leftovers of a crashed run
        m_topKeys.push_back(top);
    }
    EXPECT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, (kClasses + subKey).c_str(), nullptr, type, value.c_str(),
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
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, (kClasses + key).c_str(), L"ThreadingModel", REG_SZ, L"Apartment",
                      sizeof(L"Apartment"));
}

void ClassesRegistration::IconHandler(const std::wstring& progId, HandlerKind kind) {
    SetDefault(progId + L"\\shellex\\IconHandler", ClassIdText(kind));
    Server(ClassIdText(kind), ServerPath(kind));
}

std::wstring ClassIdText(HandlerKind kind) {
    wchar_t text[40] = {};
    ::StringFromGUID2(HandlerClassId(kind), text, 40);
    return text;
}

std::wstring ServerPath(HandlerKind kind) {
    return BinPath(kind == HandlerKind::Sideload ? L"sideload\\IconHandlerSideload.dll" : L"IconHandlers.dll");
}

const HandlerCall* LastCall(HandlerKind kind) {
    const HMODULE server = ::GetModuleHandleW(ServerPath(kind).c_str());
    const auto lastCall = server ? reinterpret_cast<FixtureLastCallFn>(::GetProcAddress(server, "FixtureLastCall"))
                                 : nullptr;
    return lastCall ? lastCall() : nullptr;
}

std::vector<DWORD> IconPixels(HICON icon, int* width) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info))
        return {};
    const ScopedHBITMAP colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    if (!colour || !::GetObjectW(colour.get(), sizeof(bm), &bm))
        return {};
    BITMAPINFO bmi{{sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB}};
    std::vector<DWORD> pixels(size_t(bm.bmWidth) * bm.bmHeight);
    const ScopedMemDC dc(::CreateCompatibleDC(nullptr));
    if (!::GetDIBits(dc.get(), colour.get(), 0, bm.bmHeight, pixels.data(), &bmi, DIB_RGB_COLORS))
        return {};
    if (width)
        *width = bm.bmWidth;
    return pixels;
}

long CentreColour(HICON icon) {
    int width = 0;
    const std::vector<DWORD> pixels = IconPixels(icon, &width);
    return pixels.empty() ? -1 : long(pixels[pixels.size() / 2 + width / 2] & 0xFFFFFF);
}

int IconWidth(HICON icon) {
    int width = 0;
    IconPixels(icon, &width);
    return width;
}

void RunTwiceLeavingNothing(const std::function<void()>& body) {
    body();
    const int icons = lineage_test::LiveIconCount(), gdiObjects = lineage_test::LiveGdiObjectCount();
    body();
    EXPECT_EQ(lineage_test::LiveIconCount(), icons) << "an icon was left behind";
    EXPECT_EQ(lineage_test::LiveGdiObjectCount(), gdiObjects) << "a GDI object was left behind";
}

const std::wstring& TempFolder() {
    static const std::wstring folder = [] {
        wchar_t base[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, base);
        return std::wstring(base) + L"lineage-icons-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    }();
    return folder;
}

std::vector<std::wstring> TempFiles() {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data = {};
    HANDLE find = ::FindFirstFileW((TempFolder() + L"*").c_str(), &data);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(find, &data))
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    if (find != INVALID_HANDLE_VALUE)
        ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

bool WriteFileText(const std::wstring& path, const char* text) {
    ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.get(), text, DWORD(std::strlen(text)), &written, nullptr);
}

}  // namespace icon_test
