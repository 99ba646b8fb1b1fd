// The registration walk for a file type: names, "DefaultIcon" values, the class's icon.
#include <gtest/gtest.h>
#include <shlobj.h>
#include "IconTestSupport.h"
#include "icons/GetExtensionIcons.h"
#include "icons/MakeDefaultTypeName.h"

using namespace icon_test;

namespace {

constexpr wchar_t kProgId[] = L"LineageTest.Walk";
constexpr wchar_t kExt[] = L"lnwalk";
constexpr wchar_t kClassId[] = L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F01}";
const std::wstring kClassIcon = std::wstring(L"CLSID\\") + kClassId + L"\\DefaultIcon";
const std::wstring kProgIdIcon = std::wstring(kProgId) + L"\\DefaultIcon";

TEST(TypeName, IsTheRegisteredOneOrTheUpperCasedExtensionFollowedByFile) {
    const std::pair<const wchar_t*, const wchar_t*> defaults[] = {
        {L"xyz", L"XYZ File"}, {L"Xyz", L"XYZ File"}, {L"tar.gz", L"TAR.GZ File"}, {L"", L"File"}, {nullptr, L"File"}};
    for (const auto& [extension, name] : defaults)
        EXPECT_EQ(MakeDefaultTypeName(extension), name);
    struct Case { const wchar_t* progId; const wchar_t* displayName; bool withIcon; IconLookupResult result;
                  const wchar_t* typeName; int fromRegistry; };
    const Case cases[] = {
        {nullptr, nullptr, false, IconLookupResult::None, L"LNWALK File", 0},  // not registered
        {L"", nullptr, false, IconLookupResult::None, L"LNWALK File", 0},  // no ProgID; an icon beside it is not looked at
        {L"LineageTest.NoSuchProgId", nullptr, false, IconLookupResult::None, L"LNWALK File", 0},
        {kProgId, nullptr, true, IconLookupResult::ForType, L"LNWALK File", 0},
        {kProgId, L"Lineage Walk Document", true, IconLookupResult::ForType, L"Lineage Walk Document", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.progId ? Utf8(c.progId) : "unregistered") << (c.withIcon ? " with icon" : ""));
        ClassesRegistration reg;
        if (c.progId && !*c.progId) {
            reg.CreateKey(std::wstring(L".") + kExt);
            reg.SetDefault(std::wstring(L".") + kExt + L"\\DefaultIcon", BinPath(L"IconLib.dll"));
        } else if (c.progId) {
            reg.Type(kExt, c.progId, c.displayName);
        }
        if (c.withIcon)
            reg.SetDefault(kProgIdIcon, BinPath(L"IconLib.dll") + L",-205");
        const IconLookup found = GetExtensionIcons(kExt, WantedIcons::Both);
        EXPECT_EQ(found.result, c.result);
        EXPECT_EQ(found.typeName, c.typeName);
        EXPECT_EQ(found.typeNameFromRegistry, c.fromRegistry);
        EXPECT_EQ(found.flags, 0u);
        EXPECT_EQ(found.small.get() != nullptr, c.withIcon);
        EXPECT_EQ(found.large.get() != nullptr, c.withIcon);
    }
}

TEST(DefaultIcon, GivesTheIconsItNames) {
    struct Case { std::wstring value; IconLookupResult result; long colour; DWORD flags; };  // colour -1: no icons
    const Case cases[] = {
        {BinPath(L"IconLib.dll") + L",-205", IconLookupResult::ForType, kBlue, 0},  // a negative number is a resource id
        {BinPath(L"IconLib.dll") + L",-100", IconLookupResult::ForType, kRed, 0},
        {BinPath(L"IconLib.dll") + L",1", IconLookupResult::ForType, kGreen, 0},  // a positive one the icon's place
        {BinPath(L"IconLib.dll"), IconLookupResult::ForType, kRed, 0},
        {BinPath(L"iconfiles\\red.ico"), IconLookupResult::ForType, kRed, 0},
        {BinPath(L"iconfiles\\red.ico") + L",0", IconLookupResult::ForType, kRed, 0},
        {BinPath(L"IconLib.dll") + L",-999", IconLookupResult::None, -1, 0},
        {BinPath(L"IconLib.dll") + L",17", IconLookupResult::None, -1, 0},
        {BinPath(L"IconLibNone.dll"), IconLookupResult::None, -1, 0},
        {BinPath(L"NoSuchLibrary.dll") + L",-205", IconLookupResult::None, -1, 0},
        {L"%1", IconLookupResult::PerFile, -1, GIL_PERINSTANCE},
        {L"", IconLookupResult::None, -1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.value));
        ClassesRegistration reg;
        reg.Type(kExt, kProgId, L"Lineage Walk Document");
        reg.SetDefault(kProgIdIcon, c.value);
        const IconLookup found = GetExtensionIcons(kExt, WantedIcons::Both);
        EXPECT_EQ(found.result, c.result);
        EXPECT_EQ(found.flags, c.flags);
        EXPECT_EQ(CentreColour(found.small.get()), c.colour);
        EXPECT_EQ(CentreColour(found.large.get()), c.colour);
        if (c.colour >= 0) {
            EXPECT_EQ(IconWidth(found.small.get()), ::GetSystemMetrics(SM_CXSMICON));
            EXPECT_EQ(IconWidth(found.large.get()), ::GetSystemMetrics(SM_CXICON));
        }
    }
}

TEST(DefaultIcon, AnExpandableValueIsExpanded) {
    ::SetEnvironmentVariableW(L"LINEAGE_ICON_FIXTURES", BinFolder().c_str());
    ClassesRegistration reg;
    reg.Type(kExt, kProgId);
    reg.SetDefault(kProgIdIcon, L"%LINEAGE_ICON_FIXTURES%IconLib.dll,-205", REG_EXPAND_SZ);
    const IconLookup found = GetExtensionIcons(kExt, WantedIcons::Both);
    ::SetEnvironmentVariableW(L"LINEAGE_ICON_FIXTURES", nullptr);
    EXPECT_EQ(found.result, IconLookupResult::ForType);
    EXPECT_EQ(CentreColour(found.small.get()), kBlue);
}

TEST(DefaultIcon, OnlyTheWantedIconIsExtracted) {
    ClassesRegistration reg;
    reg.Type(kExt, kProgId);
    reg.SetDefault(kProgIdIcon, BinPath(L"IconLib.dll") + L",-101");
    const IconLookup smallOnly = GetExtensionIcons(kExt, WantedIcons::Small);
    EXPECT_EQ(smallOnly.result, IconLookupResult::ForType);
    EXPECT_EQ(CentreColour(smallOnly.small.get()), kGreen);
    EXPECT_EQ(IconWidth(smallOnly.small.get()), ::GetSystemMetrics(SM_CXSMICON));
    const IconLookup largeOnly = GetExtensionIcons(kExt, WantedIcons::Large);
    EXPECT_EQ(largeOnly.result, IconLookupResult::ForType);
    EXPECT_EQ(IconWidth(largeOnly.large.get()), ::GetSystemMetrics(SM_CXICON));
}

TEST(ClassDefaultIcon, IsUsedWhenTheProgIdHasNoneThatCanBeExtracted) {
    struct Case { const wchar_t* progIdIcon; const wchar_t* classId; long colour; };
    const Case cases[] = {
        {nullptr, kClassId, kGreen}, {L"IconLibNone.dll", kClassId, kGreen}, {L"IconLib.dll,-205", kClassId, kBlue},
        {nullptr, L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4FFF}", -1}};  // a class without a key finds nothing
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.progIdIcon ? Utf8(c.progIdIcon) : "no ProgID icon"));
        ClassesRegistration reg;
        reg.Type(kExt, kProgId);
        if (c.progIdIcon)
            reg.SetDefault(kProgIdIcon, BinPath(c.progIdIcon));
        reg.SetDefault(std::wstring(kProgId) + L"\\CLSID", c.classId);
        reg.SetDefault(kClassIcon, BinPath(L"IconLib.dll") + L",-101");
        const IconLookup found = GetExtensionIcons(kExt, WantedIcons::Both);
        EXPECT_EQ(found.result, c.colour < 0 ? IconLookupResult::None : IconLookupResult::ForType);
        EXPECT_EQ(CentreColour(found.small.get()), c.colour);
        EXPECT_EQ(CentreColour(found.large.get()), c.colour);
    }
}

} // namespace
