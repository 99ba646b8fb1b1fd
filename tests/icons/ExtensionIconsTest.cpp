// The registration walk for a file type: names, icon handlers, "DefaultIcon" values, the class's icon.
#include <gtest/gtest.h>
#include <shlobj.h>
#include "IconTestSupport.h"
#include "icons/GetExtensionIcons.h"
#include "icons/GetFileIcons.h"
#include "icons/MakeDefaultTypeName.h"

using namespace icon_test;

namespace {

constexpr wchar_t kProgId[] = L"LineageTest.Walk";
constexpr wchar_t kClassId[] = L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F01}";
constexpr HandlerKind kNoHandler = HandlerKind(0xFF);

std::wstring Lib(const wchar_t* index) { return BinPath(L"IconLib.dll") + index; }

TEST(TypeName, IsTheUpperCasedExtensionFollowedByFileWithoutARegisteredName) {
    EXPECT_EQ(MakeDefaultTypeName(L"Xyz"), L"XYZ File");
    EXPECT_EQ(MakeDefaultTypeName(L""), L"File");
    EXPECT_EQ(MakeDefaultTypeName(nullptr), L"File");
    for (const wchar_t* progId : {L"", L"LineageTest.NoSuchProgId", kProgId}) {
        SCOPED_TRACE(progId);
        ClassesRegistration reg;
        if (*progId)
            reg.Type(L"lnwalk", progId);
        // Without a ProgID, an icon beside the extension is not looked at.
        reg.SetDefault(L".lnwalk\\DefaultIcon", Lib(L",-205"));
        const IconLookup found = GetExtensionIcons(L"lnwalk", WantedIcons::Both);
        EXPECT_EQ(found.result, IconLookupResult::None);
        EXPECT_EQ(found.typeName, L"LNWALK File");
        EXPECT_FALSE(found.typeNameFromRegistry);
        EXPECT_FALSE(found.HasIcon());
    }
}

TEST(RegistrationWalk, TakesTheHandlersThenTheProgIdsThenTheClasssIcons) {
    ::SetEnvironmentVariableW(L"LINEAGE_ICON_FIXTURES", BinPath(L"").c_str());
    // Handlers are shown any existing file: they never read it.
    const std::wstring file = BinPath(L"IconLib.dll"), missing = TempFolder() + L"missing.lnwalk";
    const auto Both = WantedIcons::Both, Small = WantedIcons::Small, Large = WantedIcons::Large;
    const auto ForType = IconLookupResult::ForType, None = IconLookupResult::None, PerFile = IconLookupResult::PerFile;
    struct Case {
        std::wstring progIdIcon, classIcon;  // "DefaultIcon" values; empty: none
        HandlerKind handler;
        const std::wstring* path;
        WantedIcons wanted;
        IconLookupResult result;
        long colour;  // -1: no icons
        DWORD flags;
        DWORD type = REG_SZ;
    };
    const Case cases[] = {
        {Lib(L",-205"), L"", kNoHandler, nullptr, Both, ForType, kBlue, 0},  // a negative number is a resource id
        {Lib(L",1"), L"", kNoHandler, nullptr, Both, ForType, kGreen, 0},    // a positive one the icon's place
        {Lib(L""), L"", kNoHandler, nullptr, Both, ForType, kRed, 0},
        {Lib(L",-999"), L"", kNoHandler, nullptr, Both, None, -1, 0},
        {BinPath(L"IconLibNone.dll"), L"", kNoHandler, nullptr, Both, None, -1, 0},
        {L"%1", L"", kNoHandler, nullptr, Both, PerFile, -1, GIL_PERINSTANCE},
        {L"%LINEAGE_ICON_FIXTURES%IconLib.dll,-205", L"", kNoHandler, nullptr, Both, ForType, kBlue, 0, REG_EXPAND_SZ},
        {Lib(L",-101"), L"", kNoHandler, nullptr, Small, ForType, kGreen, 0},  // only the wanted icon is extracted
        {Lib(L",-101"), L"", kNoHandler, nullptr, Large, ForType, kGreen, 0},
        {L"", Lib(L",-101"), kNoHandler, nullptr, Both, ForType, kGreen, 0},
        {BinPath(L"IconLibNone.dll"), Lib(L",-101"), kNoHandler, nullptr, Both, ForType, kGreen, 0},
        {Lib(L",-205"), Lib(L",-101"), kNoHandler, nullptr, Both, ForType, kBlue, 0},
        {Lib(L",-205"), L"", HandlerKind::Wide, &file, Both, ForType, kMagenta, 0},
        {Lib(L",-205"), L"", HandlerKind::Wide, nullptr, Both, ForType, kBlue, 0},  // without a path it is not asked
        {Lib(L",-205"), L"", HandlerKind::DontCache, &file, Both, PerFile, kMagenta, GIL_DONTCACHE},
        // A failing handler leaves its mark on what is found next.
        {Lib(L",-205"), L"", HandlerKind::LoadFails, &file, Both, ForType, kBlue, GIL_DONTCACHE},
        {Lib(L",-205"), L"", HandlerKind::LocationFails, &file, Both, ForType, kBlue, GIL_DONTCACHE},
        // A handler without icons for a missing file: its verdict holds for the class's icon.
        {L"", Lib(L",-101"), HandlerKind::PerInstance, &missing, Both, PerFile, kGreen, GIL_PERINSTANCE}};
    const auto walk = [&](const Case& c) {
        SCOPED_TRACE(testing::Message() << c.progIdIcon << " class " << c.classIcon << " handler " << int(c.handler)
                                        << " wanted " << int(c.wanted));
        ClassesRegistration reg;
        reg.Type(L"lnwalk", kProgId, L"Lineage Walk Document");
        if (!c.progIdIcon.empty())
            reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", c.progIdIcon, c.type);
        if (!c.classIcon.empty()) {
            reg.SetDefault(std::wstring(kProgId) + L"\\CLSID", kClassId);
            reg.SetDefault(std::wstring(L"CLSID\\") + kClassId + L"\\DefaultIcon", c.classIcon);
        }
        if (c.handler != kNoHandler)
            reg.IconHandler(kProgId, c.handler);
        const IconLookup found = GetExtensionIcons(L"lnwalk", c.wanted, c.path ? c.path->c_str() : nullptr);
        EXPECT_EQ(found.result, c.result);
        EXPECT_EQ(found.flags, c.flags);
        EXPECT_EQ(found.typeName, L"Lineage Walk Document");
        EXPECT_TRUE(found.typeNameFromRegistry);
        EXPECT_EQ(CentreColour(found.small.get()), Wants(c.wanted, Small) ? c.colour : -1);
        EXPECT_EQ(CentreColour(found.large.get()), Wants(c.wanted, Large) ? c.colour : -1);
        const bool any = c.colour >= 0;
        EXPECT_EQ(IconWidth(found.small.get()), any && Wants(c.wanted, Small) ? ::GetSystemMetrics(SM_CXSMICON) : 0);
        EXPECT_EQ(IconWidth(found.large.get()), any && Wants(c.wanted, Large) ? ::GetSystemMetrics(SM_CXICON) : 0);
    };
    RunTwiceLeavingNothing([&] {
        for (const Case& c : cases)
            walk(c);
    });
}

TEST(RegistrationWalk, TheHostsOwnFormatsNeverAskTheirHandler) {
    ClassesRegistration reg;
    reg.IconHandler(kProgId, HandlerKind::Wide);
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", Lib(L",-205"));
    for (const wchar_t* extension : {L"bfprt", L"prt", L"bfasm", L"asm", L"bfdrw", L"drw", L"mat"}) {
        SCOPED_TRACE(extension);
        reg.Type(extension, kProgId);
        const IconLookup found = GetExtensionIcons(extension, WantedIcons::Both, BinPath(L"IconLib.dll").c_str());
        EXPECT_EQ(found.result, IconLookupResult::ForType);
        EXPECT_EQ(CentreColour(found.small.get()), kBlue);
    }
}

// Wine's ExtractIconExW gives both halves of a pair or none: other answers are played through the
// program's import of it.
struct Played {
    UINT answer;
    HICON large, small;
} g_played;

UINT WINAPI PlayExtractIconEx(LPCWSTR, int, HICON* large, HICON* small, UINT) {
    if (large)
        *large = g_played.large;
    if (small)
        *small = g_played.small;
    return g_played.answer;
}

TEST(PlayedExtraction, HalfAPairIsNothingUnlessOnlyThatHalfIsWantedAndFailedCallsAreNotTrusted) {
    struct Case { UINT answer; bool large, small; WantedIcons wanted; bool inEachFile, taken; };
    const Case cases[] = {
        {1, true, false, WantedIcons::Both, false, false}, {1, true, false, WantedIcons::Large, false, true},
        {0xFFFFFFFF, true, true, WantedIcons::Both, false, false}, {0, true, true, WantedIcons::Both, false, false},
        {2, true, true, WantedIcons::Both, false, true},
        {1, false, true, WantedIcons::Both, true, true}};  // a file's own icon may come as half a pair
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "answer " << int(c.answer) << " large " << c.large << " small " << c.small
                                        << " wanted " << int(c.wanted) << " in each file " << c.inEachFile);
        ClassesRegistration reg;
        reg.Type(L"lnpartial", kProgId);
        reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", c.inEachFile ? L"%1" : Lib(L",-205"));
        const HICON application = ::LoadIconW(nullptr, IDI_APPLICATION);
        g_played = {c.answer, c.large ? ::CopyIcon(application) : nullptr, c.small ? ::CopyIcon(application) : nullptr};
        IconLookup found;
        {
            const ImportPatch patch("shell32.dll", "ExtractIconExW", reinterpret_cast<void*>(&PlayExtractIconEx));
            ASSERT_TRUE(patch.Installed());
            found = c.inEachFile ? GetFileIcons(L"C:\\vault\\picture.lnpartial") : GetExtensionIcons(L"lnpartial", c.wanted);
        }
        const IconLookupResult takenAs = c.inEachFile ? IconLookupResult::PerFile : IconLookupResult::ForType;
        EXPECT_EQ(found.result, c.taken ? takenAs : IconLookupResult::None);
        EXPECT_EQ(found.large.get(), c.taken ? g_played.large : nullptr);
        EXPECT_EQ(found.small.get(), c.taken ? g_played.small : nullptr);
        // A half that came is destroyed; someone else's handles from a failed call are not.
        const bool failed = c.answer == 0 || c.answer == 0xFFFFFFFF;
        for (HICON played : {g_played.large, g_played.small}) {
            if (!played || c.taken)
                continue;
            EXPECT_EQ(!IconPixels(played).empty(), failed);
            if (failed)
                ::DestroyIcon(played);
        }
    }
}

}  // namespace
