// The registration walk for a file type: names, "DefaultIcon" values, the class's icon.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <cctype>

#include "IconTestSupport.h"
#include "icons/GetExtensionIcons.h"
#include "icons/IconLookup.h"

using namespace icon_test;

namespace {

constexpr wchar_t kProgId[] = L"LineageTest.Walk";
constexpr wchar_t kExt[] = L"lnwalk";
constexpr wchar_t kClassId[] = L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F01}";

using Lookup = IconLookup;

void LookUp(const wchar_t* extension, Lookup& out, bool wantSmall = true, bool wantLarge = true) {
    const WantedIcons wanted = wantSmall && wantLarge ? WantedIcons::Both : wantSmall ? WantedIcons::Small : WantedIcons::Large;
    out = GetExtensionIcons(extension, wanted);
}

TEST(ExtensionWithoutRegistration, FindsNothingAndNamesTheTypeAfterTheExtension) {
    Lookup found;
    LookUp(L"lnunregistered", found);
    EXPECT_EQ(found.result, IconLookupResult::None);
    EXPECT_EQ(found.typeName, L"LNUNREGISTERED File");
    EXPECT_EQ(found.typeNameFromRegistry, 0);
    EXPECT_EQ(found.flags, 0u);
    EXPECT_EQ(found.small.get(), nullptr);
    EXPECT_EQ(found.large.get(), nullptr);
}

TEST(ExtensionWithoutRegistration, XyzIsAnXyzFile) {
    Lookup found;
    LookUp(L"xyz", found);
    EXPECT_EQ(found.result, IconLookupResult::None);
    EXPECT_EQ(found.typeName, L"XYZ File");
    EXPECT_EQ(found.typeNameFromRegistry, 0);
}

TEST(ExtensionWithoutRegistration, AnEmptyExtensionIsPlainlyAFile) {
    Lookup found;
    LookUp(L"", found);
    EXPECT_EQ(found.result, IconLookupResult::None);
    EXPECT_EQ(found.typeName, L"File");
    EXPECT_EQ(found.typeNameFromRegistry, 0);
}

TEST(ExtensionWithoutProgId, FindsNothingAndNamesTheTypeAfterTheExtension) {
    ClassesRegistration reg;
    reg.CreateKey(L".lnnoprogid");
    reg.SetDefault(L".lnnoprogid\\DefaultIcon", BinPath(L"IconLib.dll"));  // not where the walk looks
    Lookup found;
    LookUp(L"lnnoprogid", found);
    EXPECT_EQ(found.result, IconLookupResult::None);
    EXPECT_EQ(found.typeName, L"LNNOPROGID File");
    EXPECT_EQ(found.typeNameFromRegistry, 0);
    EXPECT_EQ(found.small.get(), nullptr);
    EXPECT_EQ(found.large.get(), nullptr);
}

TEST(TypeName, ComesFromTheProgIdAndSetsTheRegistryFlag) {
    ClassesRegistration reg;
    reg.Type(kExt, kProgId, L"Lineage Walk Document");
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", BinPath(L"IconLib.dll") + L",-205");
    Lookup found;
    LookUp(kExt, found);
    EXPECT_EQ(found.result, IconLookupResult::ForType);
    EXPECT_EQ(found.typeName, L"Lineage Walk Document");
    EXPECT_EQ(found.typeNameFromRegistry, 1);
}

TEST(TypeName, IsTheDefaultOneWhenTheProgIdHasNoName) {
    ClassesRegistration reg;
    reg.Type(kExt, kProgId);
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", BinPath(L"IconLib.dll") + L",-205");
    Lookup found;
    LookUp(kExt, found);
    EXPECT_EQ(found.result, IconLookupResult::ForType);
    EXPECT_EQ(found.typeName, L"LNWALK File");
    EXPECT_EQ(found.typeNameFromRegistry, 0);
}

TEST(TypeName, IsTheDefaultOneWhenTheProgIdKeyIsMissing) {
    ClassesRegistration reg;
    reg.Type(kExt, L"LineageTest.NoSuchProgId");
    Lookup found;
    LookUp(kExt, found);
    EXPECT_EQ(found.result, IconLookupResult::None);
    EXPECT_EQ(found.typeName, L"LNWALK File");
    EXPECT_EQ(found.typeNameFromRegistry, 0);
}

// One "DefaultIcon" value and what the walk makes of it.
struct DefaultIconCase {
    const char* name;
    std::wstring value;
    IconLookupResult result;
    long colour;  // of both icons; -1: no icons
    DWORD flags;
};

std::ostream& operator<<(std::ostream& os, const DefaultIconCase& c) { return os << c.name; }

class DefaultIconValue : public ::testing::TestWithParam<DefaultIconCase> {};

TEST_P(DefaultIconValue, GivesTheIconsItNames) {
    const DefaultIconCase& c = GetParam();
    ClassesRegistration reg;
    reg.Type(kExt, kProgId, L"Lineage Walk Document");
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", c.value);
    Lookup found;
    LookUp(kExt, found);
    EXPECT_EQ(found.result, c.result);
    EXPECT_EQ(found.flags, c.flags);
    if (c.colour < 0) {
        EXPECT_EQ(found.small.get(), nullptr);
        EXPECT_EQ(found.large.get(), nullptr);
    } else {
        ASSERT_NE(found.small.get(), nullptr);
        ASSERT_NE(found.large.get(), nullptr);
        EXPECT_EQ(CentreColour(found.small.get()), c.colour);
        EXPECT_EQ(CentreColour(found.large.get()), c.colour);
        EXPECT_EQ(IconWidth(found.small.get()), ::GetSystemMetrics(SM_CXSMICON));
        EXPECT_EQ(IconWidth(found.large.get()), ::GetSystemMetrics(SM_CXICON));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, DefaultIconValue,
    ::testing::Values(
        DefaultIconCase{"negative number names the resource id", BinPath(L"IconLib.dll") + L",-205",
                        IconLookupResult::ForType, kBlue, 0},
        DefaultIconCase{"resource id of the first icon", BinPath(L"IconLib.dll") + L",-100", IconLookupResult::ForType,
                        kRed, 0},
        DefaultIconCase{"positive number is the icon's place", BinPath(L"IconLib.dll") + L",1",
                        IconLookupResult::ForType, kGreen, 0},
        DefaultIconCase{"no comma means the first icon", BinPath(L"IconLib.dll"), IconLookupResult::ForType, kRed, 0},
        DefaultIconCase{"an icon file", BinPath(L"iconfiles\\red.ico"), IconLookupResult::ForType, kRed, 0},
        DefaultIconCase{"an icon file with index", BinPath(L"iconfiles\\red.ico") + L",0", IconLookupResult::ForType,
                        kRed, 0},
        DefaultIconCase{"missing resource id", BinPath(L"IconLib.dll") + L",-999", IconLookupResult::None, -1, 0},
        DefaultIconCase{"icon place beyond the last", BinPath(L"IconLib.dll") + L",17", IconLookupResult::None, -1, 0},
        DefaultIconCase{"library without icons", BinPath(L"IconLibNone.dll"), IconLookupResult::None, -1, 0},
        DefaultIconCase{"missing file", BinPath(L"NoSuchLibrary.dll") + L",-205", IconLookupResult::None, -1, 0},
        DefaultIconCase{"per-file icon", L"%1", IconLookupResult::PerFile, -1, GIL_PERINSTANCE},
        DefaultIconCase{"empty value", L"", IconLookupResult::None, -1, 0}),
    [](const ::testing::TestParamInfo<DefaultIconCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

TEST(DefaultIconValueType, AnExpandableValueIsExpanded) {
    ::SetEnvironmentVariableW(L"LINEAGE_ICON_FIXTURES", BinFolder().c_str());
    ClassesRegistration reg;
    reg.Type(kExt, kProgId);
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", L"%LINEAGE_ICON_FIXTURES%IconLib.dll,-205", REG_EXPAND_SZ);
    Lookup found;
    LookUp(kExt, found);
    ::SetEnvironmentVariableW(L"LINEAGE_ICON_FIXTURES", nullptr);
    EXPECT_EQ(found.result, IconLookupResult::ForType);
    EXPECT_EQ(CentreColour(found.small.get()), kBlue);
}

TEST(WantedIcons, OnlyTheWantedIconIsExtracted) {
    ClassesRegistration reg;
    reg.Type(kExt, kProgId);
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", BinPath(L"IconLib.dll") + L",-101");
    Lookup smallOnly;
    LookUp(kExt, smallOnly, true, false);
    EXPECT_EQ(smallOnly.result, IconLookupResult::ForType);
    EXPECT_EQ(CentreColour(smallOnly.small.get()), kGreen);
    EXPECT_EQ(IconWidth(smallOnly.small.get()), ::GetSystemMetrics(SM_CXSMICON));
    Lookup largeOnly;
    LookUp(kExt, largeOnly, false, true);
    EXPECT_EQ(largeOnly.result, IconLookupResult::ForType);
    EXPECT_EQ(IconWidth(largeOnly.large.get()), ::GetSystemMetrics(SM_CXICON));
}

TEST(ClassDefaultIcon, IsUsedWhenTheProgIdHasNone) {
    ClassesRegistration reg;
    reg.Type(kExt, kProgId);
    reg.SetDefault(std::wstring(kProgId) + L"\\CLSID", kClassId);
    reg.SetDefault(std::wstring(L"CLSID\\") + kClassId + L"\\DefaultIcon", BinPath(L"IconLib.dll") + L",-101");
    Lookup found;
    LookUp(kExt, found);
    EXPECT_EQ(found.result, IconLookupResult::ForType);
    EXPECT_EQ(CentreColour(found.small.get()), kGreen);
    EXPECT_EQ(CentreColour(found.large.get()), kGreen);
}

TEST(ClassDefaultIcon, IsUsedWhenTheProgIdsIconCannotBeExtracted) {
    ClassesRegistration reg;
    reg.Type(kExt, kProgId);
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", BinPath(L"IconLibNone.dll"));
    reg.SetDefault(std::wstring(kProgId) + L"\\CLSID", kClassId);
    reg.SetDefault(std::wstring(L"CLSID\\") + kClassId + L"\\DefaultIcon", BinPath(L"IconLib.dll"));
    Lookup found;
    LookUp(kExt, found);
    EXPECT_EQ(found.result, IconLookupResult::ForType);
    EXPECT_EQ(CentreColour(found.small.get()), kRed);
}

TEST(ClassDefaultIcon, GivesWayToTheProgIdsOwn) {
    ClassesRegistration reg;
    reg.Type(kExt, kProgId);
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", BinPath(L"IconLib.dll") + L",-205");
    reg.SetDefault(std::wstring(kProgId) + L"\\CLSID", kClassId);
    reg.SetDefault(std::wstring(L"CLSID\\") + kClassId + L"\\DefaultIcon", BinPath(L"IconLib.dll") + L",-101");
    Lookup found;
    LookUp(kExt, found);
    EXPECT_EQ(CentreColour(found.small.get()), kBlue);
}

TEST(ClassDefaultIcon, AMissingClassKeyFindsNothing) {
    ClassesRegistration reg;
    reg.Type(kExt, kProgId);
    reg.SetDefault(std::wstring(kProgId) + L"\\CLSID", L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4FFF}");
    Lookup found;
    LookUp(kExt, found);
    EXPECT_EQ(found.result, IconLookupResult::None);
}

}  // namespace
