#pragma once
// What the icon tests share: the fixtures, file-type registrations in the test prefix, reading
// icons back, and a temporary folder of their own.
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>
#include "FixtureHandlers.h"
#include "HandleCounts.h"
#include "ImportPatch.h"
#include "base/ModulePath.h"
#include "base/ScopedHandle.h"
#include "icons/IconLookup.h"

namespace icon_test {

using namespace icon_fixtures;
using lineage_test::ImportPatch;

// Colours of the fixture icons (0x00RRGGBB).
constexpr long kRed = 0xDC0000, kGreen = 0x00C800, kBlue = 0x0000E6, kMagenta = 0xC800C8, kOrange = 0xFF8C00;

inline std::wstring BinPath(const wchar_t* relative) { return FolderOf(ModulePath(nullptr)) + relative; }

inline std::wstring TempFolder() { return BinPath(L"icontemp\\"); }

// Every test runs in a single-threaded apartment, as the module's dialog thread does, and with
// TempFolder() as the process's temporary folder.
struct IconTestEnvironment : ::testing::Environment {
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        std::filesystem::remove_all(TempFolder());  // what a failed run left behind
        std::filesystem::create_directory(TempFolder());
        ::SetEnvironmentVariableW(L"TMP", TempFolder().c_str());
        ::SetEnvironmentVariableW(L"TEMP", TempFolder().c_str());
    }
    void TearDown() override {
        std::filesystem::remove_all(TempFolder());
        ::CoUninitialize();
    }
};
inline ::testing::Environment* const g_environment = ::testing::AddGlobalTestEnvironment(new IconTestEnvironment);

inline std::wstring ClassIdText(HandlerKind kind) {
    wchar_t text[40] = {};
    ::StringFromGUID2(HandlerClassId(kind), text, 40);
    return text;
}

inline std::wstring ServerPath(HandlerKind kind) {
    return BinPath(kind == HandlerKind::Sideload ? L"sideload\\IconHandlerSideload.dll" : L"IconHandlers.dll");
}

// What the server's last handler saw; null while the server is not loaded.
inline const HandlerCall* LastCall(HandlerKind kind) {
    const HMODULE server = ::GetModuleHandleW(ServerPath(kind).c_str());
    const auto lastCall = server ? reinterpret_cast<FixtureLastCallFn>(::GetProcAddress(server, "FixtureLastCall"))
                                 : nullptr;
    return lastCall ? lastCall() : nullptr;
}

// Registrations under HKLM\Software\Classes (what HKEY_CLASSES_ROOT shows), each top key removed
// again when the object goes.
class ClassesRegistration {
public:
    ClassesRegistration() = default;
    ClassesRegistration(const ClassesRegistration&) = delete;
    ClassesRegistration& operator=(const ClassesRegistration&) = delete;
    ~ClassesRegistration() {
        for (const auto& top : m_topKeys)
            ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + top).c_str());
    }

    void Set(const std::wstring& subKey, const std::wstring& value, const wchar_t* name = nullptr,
             DWORD type = REG_SZ) {
        // CLSID keys are removed one class at a time, never the whole CLSID tree.
        const std::wstring top = subKey.substr(0, subKey.find(L'\\', subKey.rfind(L"CLSID\\", 0) == 0 ? 6 : 0));
        if (std::find(m_topKeys.begin(), m_topKeys.end(), top) == m_topKeys.end()) {
            ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + top).c_str());  // a crashed run's
            m_topKeys.push_back(top);
        }
        EXPECT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + subKey).c_str(), name, type,
                                    value.c_str(), DWORD((value.size() + 1) * sizeof(wchar_t))), ERROR_SUCCESS);
    }
    // ".ext" to progId, and the ProgID's display name when one is given.
    void Type(const std::wstring& extension, const std::wstring& progId, const wchar_t* displayName = nullptr) {
        Set(L"." + extension, progId);
        if (displayName)
            Set(progId, displayName);
    }
    void Server(const std::wstring& clsid, const std::wstring& server) {
        Set(L"CLSID\\" + clsid + L"\\InProcServer32", server);
        Set(L"CLSID\\" + clsid + L"\\InProcServer32", L"Apartment", L"ThreadingModel");
    }
    void IconHandler(const std::wstring& progId, HandlerKind kind) {
        Set(progId + L"\\shellex\\IconHandler", ClassIdText(kind));
        Server(ClassIdText(kind), ServerPath(kind));
    }

private:
    std::vector<std::wstring> m_topKeys;
};

// The icon's colour image, top row first; empty without an icon.
inline std::vector<DWORD> IconPixels(HICON icon) {
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
    const bool read = ::GetDIBits(dc.get(), colour.get(), 0, bm.bmHeight, pixels.data(), &bmi, DIB_RGB_COLORS);
    return read ? pixels : std::vector<DWORD>();
}

// Width of a (square) icon, 0 without one; colour (0x00RRGGBB) of its centre pixel, -1 without one.
inline int IconWidth(HICON icon) { return int(std::sqrt(IconPixels(icon).size())); }
inline long CentreColour(HICON icon) {
    const std::vector<DWORD> pixels = IconPixels(icon);
    return pixels.empty() ? -1 : long(pixels[pixels.size() / 2 + IconWidth(icon) / 2] & 0xFFFFFF);
}

// Runs `body` twice: the second run must leave no icon and no GDI object behind.
inline void RunTwiceLeavingNothing(const std::function<void()>& body) {
    body();
    const int icons = lineage_test::LiveIconCount(), gdiObjects = lineage_test::LiveGdiObjectCount();
    body();
    EXPECT_EQ(lineage_test::LiveIconCount(), icons) << "an icon was left behind";
    EXPECT_EQ(lineage_test::LiveGdiObjectCount(), gdiObjects) << "a GDI object was left behind";
}

}  // namespace icon_test
