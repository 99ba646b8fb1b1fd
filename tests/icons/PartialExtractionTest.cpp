// What the lookups make of ExtractIconExW's answers: half a pair is nothing, and handles from a
// failed call are never trusted. Wine's ExtractIconExW always gives both halves of a pair or
// none, so its answers are played here through the program's import of it.
#include <gtest/gtest.h>
#include <shellapi.h>
#include "IconTestSupport.h"
#include "icons/GetExtensionIcons.h"
#include "icons/GetFileIcons.h"

using namespace icon_test;

namespace {

constexpr wchar_t kProgId[] = L"LineageTest.Partial";
constexpr wchar_t kClassId[] = L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F30}";

// What the played ExtractIconExW answers and hands out.
struct Played {
    UINT answer = 0;
    HICON large = nullptr, small = nullptr;
    int calls = 0;
} g_played;

UINT WINAPI PlayExtractIconEx(LPCWSTR, int, HICON* large, HICON* small, UINT) {
    ++g_played.calls;
    if (large) *large = g_played.large;
    if (small) *small = g_played.small;
    return g_played.answer;
}

HICON NewIcon() { return ::CopyIcon(::LoadIconW(nullptr, IDI_APPLICATION)); }

TEST(PlayedAnswer, HalfAPairIsNothingUnlessOnlyThatHalfIsWantedAndFailedCallsAreNotTrusted) {
    enum Where { ProgIdIcon, ClassIcon, EachFile };
    struct Case { Where where; UINT answer; bool large, small; WantedIcons wanted; IconLookupResult result; bool taken; };
    const Case cases[] = {
        {ProgIdIcon, 1, true, false, WantedIcons::Both, IconLookupResult::None, false},
        {ProgIdIcon, 1, true, false, WantedIcons::Large, IconLookupResult::ForType, true},
        {ProgIdIcon, 0xFFFFFFFF, true, true, WantedIcons::Both, IconLookupResult::None, false},
        {ProgIdIcon, 0, true, true, WantedIcons::Both, IconLookupResult::None, false},
        {ProgIdIcon, 2, true, true, WantedIcons::Both, IconLookupResult::ForType, true},
        {ClassIcon, 1, true, false, WantedIcons::Both, IconLookupResult::None, false},
        {ClassIcon, 1, true, false, WantedIcons::Large, IconLookupResult::ForType, true},
        {ClassIcon, 0xFFFFFFFF, true, true, WantedIcons::Both, IconLookupResult::None, false},
        {ClassIcon, 0, true, true, WantedIcons::Both, IconLookupResult::None, false},
        {ClassIcon, 2, true, true, WantedIcons::Both, IconLookupResult::ForType, true},
        // A type that keeps its icon in each file takes whatever half of the file's pair there is.
        {EachFile, 1, false, true, WantedIcons::Both, IconLookupResult::PerFile, true},
        {EachFile, 0xFFFFFFFF, true, true, WantedIcons::Both, IconLookupResult::None, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "place " << c.where << " answer " << int(c.answer) << " large " << c.large
                                        << " small " << c.small << " wanted " << int(c.wanted));
        ClassesRegistration reg;
        reg.Type(L"lnpartial", kProgId);
        const std::wstring value = c.where == EachFile ? L"%1" : BinPath(L"IconLib.dll") + L",-205";
        if (c.where == ClassIcon) {
            reg.SetDefault(std::wstring(kProgId) + L"\\CLSID", kClassId);
            reg.SetDefault(std::wstring(L"CLSID\\") + kClassId + L"\\DefaultIcon", value);
        } else {
            reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", value);
        }
        g_played = {c.answer, c.large ? NewIcon() : nullptr, c.small ? NewIcon() : nullptr};
        IconLookup icons;
        {
            ImportPatch patch("shell32.dll", "ExtractIconExW", reinterpret_cast<void*>(&PlayExtractIconEx));
            ASSERT_TRUE(patch.Installed());
            icons = c.where == EachFile ? GetFileIcons(L"C:\\vault\\picture.lnpartial")
                                        : GetExtensionIcons(L"lnpartial", c.wanted);
        }
        EXPECT_EQ(icons.result, c.result);
        if (c.where != EachFile) {
            EXPECT_EQ(g_played.calls, 1);
        }
        EXPECT_EQ(icons.large.get(), c.taken ? g_played.large : nullptr);
        EXPECT_EQ(icons.small.get(), c.taken ? g_played.small : nullptr);
        const bool failed = c.answer == 0 || c.answer == 0xFFFFFFFF;
        // A half that came is destroyed; someone else's handles from a failed call are not.
        for (HICON played : {g_played.large, g_played.small})
            if (played && !c.taken) {
                EXPECT_EQ(IsLiveIcon(played), failed) << (failed ? "someone else's handle was destroyed" : "a half was leaked");
            }
        for (HICON played : {g_played.large, g_played.small})
            if (played && failed)
                ::DestroyIcon(played);
    }
}

}  // namespace
