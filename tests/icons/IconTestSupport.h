#pragma once
// What the icon tests share: the fixtures, file-type registrations, reading icons back, a temporary folder.
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>
#include "../toolkit/ElementTestSupport.h"
#include "FixtureHandlers.h"
#include "HandleCounts.h"
#include "ImportPatch.h"
#include "base/ModulePath.h"
#include "base/ScopedHandle.h"
#include "icons/IconLookup.h"

namespace icon_test {

using namespace icon_fixtures;
using element_test::IconPixels;
using lineage_test::ImportPatch;

constexpr long kRed = 0xDC0000, kGreen = 0x00C800, kBlue = 0x0000E6, kMagenta = 0xC800C8, kOrange = 0xFF8C00;

inline std::wstring BinPath(const wchar_t* relative) { return FolderOf(ModulePath(nullptr)) + relative; }

inline std::wstring TempFolder() { return BinPath(L"icontemp\\"); }

// A single-threaded apartment, as the module's dialog thread has, and TempFolder() as the temporary folder.
struct IconTestEnvironment : ::testing::Environment {
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        std::filesystem::remove_all(TempFolder());  // what a failed run left behind
        std::filesystem::create_directory(TempFolder());
        ::SetEnvironmentVariableW(L"TMP", TempFolder().c_str());
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
    const auto lastCall = reinterpret_cast<const HandlerCall*(WINAPI*)()>(
        ::GetProcAddress(::GetModuleHandleW(ServerPath(kind).c_str()), "FixtureLastCall"));
    return lastCall ? lastCall() : nullptr;
}

// Registrations under HKLM\Software\Classes, each top key removed again when the object goes.
class ClassesRegistration {
public:
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
    void Type(const std::wstring& extension, const std::wstring& progId, const std::wstring& defaultIcon = L"") {
        Set(L"." + extension, progId);
        if (!defaultIcon.empty())
            Set(progId + L"\\DefaultIcon", defaultIcon);
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

// Width of a (square) icon, 0 without one; colour (0x00RRGGBB) of its centre pixel, -1 without one.
inline int IconWidth(HICON icon) { return int(std::sqrt(IconPixels(icon).size())); }
inline long CentreColour(HICON icon) {
    const auto pixels = IconPixels(icon);
    return pixels.empty() ? -1 : long(pixels[pixels.size() / 2 + IconWidth(icon) / 2] & 0xFFFFFF);
}

// What a lookup found, to compare whole: result, flags, the small and the large icon's colours.
inline auto Found(const IconLookup& found) {
    return std::tuple(found.result, found.flags, CentreColour(found.small.get()), CentreColour(found.large.get()));
}

// Checks each row twice: the second round must leave no icon and no GDI object behind.
template <typename Rows, typename Check>
void RunTwiceLeavingNothing(const Rows& rows, const Check& check) {
    for (const auto& row : rows)
        check(row);
    const auto live = [] { return std::pair(lineage_test::LiveIconCount(), lineage_test::LiveGdiObjectCount()); };
    const auto before = live();
    for (const auto& row : rows)
        check(row);
    EXPECT_EQ(live(), before) << "icons and GDI objects left behind";
}

}  // namespace icon_test
