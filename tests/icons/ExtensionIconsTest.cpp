// The registration walk for a file type: names, "DefaultIcon" values, the class's icon.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <cctype>

#include "IconTestSupport.h"
#include "icons/GetExtensionIcons.h"
#include "icons/IconLookupResult.h"

using namespace icon_test;

namespace {

constexpr wchar_t kProgId[] = L"LineageTest.Walk";
constexpr wchar_t kExt[] = L"lnwalk";
constexpr wchar_t kClassId[] = L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F01}";

using Lookup = LookupResult;

void LookUp(const wchar_t* extension, Lookup& out, bool wantSmall = true, bool wantLarge = true) {
    out.result = GetExtensionIcons(extension, wantSmall ? &out.icons.small : nullptr,
                                   wantLarge ? &out.icons.large : nullptr, nullptr, &out.flags, &out.typeName,
                                   &out.fromRegistry);
}

TEST(ExtensionWithoutRegistration, FindsNothingAndNamesTheTypeAfterTheExtension) {
    Lookup found;
    LookUp(L"lnunregistered", found);
    EXPECT_EQ(found.result, icon_lookup::kNone);
    EXPECT_EQ(found.typeName, L"LNUNREGISTERED File");
    EXPECT_EQ(found.fromRegistry, 0);
    EXPECT_EQ(found.flags, 0u);
    EXPECT_EQ(found.icons.small, nullptr);
    EXPECT_EQ(found.icons.large, nullptr);
}

TEST(ExtensionWithoutRegistration, XyzIsAnXyzFile) {
    Lookup found;
    LookUp(L"xyz", found);
    EXPECT_EQ(found.result, icon_lookup::kNone);
    EXPECT_EQ(found.typeName, L"XYZ File");
    EXPECT_EQ(found.fromRegistry, 0);
}

TEST(ExtensionWithoutRegistration, AnEmptyExtensionIsPlainlyAFile) {
    Lookup found;
    LookUp(L"", found);
    EXPECT_EQ(found.result, icon_lookup::kNone);
    EXPECT_EQ(found.typeName, L"File");
    EXPECT_EQ(found.fromRegistry, 0);
}

TEST(ExtensionWithoutProgId, FindsNothingAndNamesTheTypeAfterTheExtension) {
    ClassesRegistration reg;
    reg.CreateKey(L".lnnoprogid");
    reg.SetDefault(L".lnnoprogid\\DefaultIcon", BinPath(L"IconLib.dll"));  // not where the walk looks
    Lookup found;
    LookUp(L"lnnoprogid", found);
    EXPECT_EQ(found.result, icon_lookup::kNone);
    EXPECT_EQ(found.typeName, L"LNNOPROGID File");
    EXPECT_EQ(found.fromRegistry, 0);
    EXPECT_EQ(found.icons.small, nullptr);
    EXPECT_EQ(found.icons.large, nullptr);
}

TEST(TypeName, ComesFromTheProgIdAndSetsTheRegistryFlag) {
    ClassesRegistration reg;
    reg.Type(kExt, kProgId, L"Lineage Walk Document");
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", BinPath(L"IconLib.dll") + L",-205");
    Lookup found;
    LookUp(kExt, found);
    EXPECT_EQ(found.result, icon_lookup::kForType);
    EXPECT_EQ(found.typeName, L"Lineage Walk Document");
    EXPECT_EQ(found.fromRegistry, 1);
}

TEST(TypeName, IsTheDefaultOneWhenTheProgIdHasNoName) {
    ClassesRegistration reg;
    reg.Type(kExt, kProgId);
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", BinPath(L"IconLib.dll") + L",-205");
    Lookup found;
    LookUp(kExt, found);
    EXPECT_EQ(found.result, icon_lookup::kForType);
    EXPECT_EQ(found.typeName, L"LNWALK File");
    EXPECT_EQ(found.fromRegistry, 0);
}

TEST(TypeName, IsTheDefaultOneWhenTheProgIdKeyIsMissing) {
    ClassesRegistration reg;
    reg.Type(kExt, L"LineageTest.NoSuchProgId");
    Lookup found;
    LookUp(kExt, found);
    EXPECT_EQ(found.result, icon_lookup::kNone);
    EXPECT_EQ(found.typeName, L"LNWALK File");
    EXPECT_EQ(found.fromRegistry, 0);
}

// One "DefaultIcon" value and what the walk makes of it.
struct DefaultIconCase {
    const char* name;
    std::wstring value;
    int result;
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
        EXPECT_EQ(found.icons.small, nullptr);
        EXPECT_EQ(found.icons.large, nullptr);
    } else {
        ASSERT_NE(found.icons.small, nullptr);
        ASSERT_NE(found.icons.large, nullptr);
        EXPECT_EQ(CentreColour(found.icons.small), c.colour);
        EXPECT_EQ(CentreColour(found.icons.large), c.colour);
        EXPECT_EQ(IconWidth(found.icons.small), ::GetSystemMetrics(SM_CXSMICON));
        EXPECT_EQ(IconWidth(found.icons.large), ::GetSystemMetrics(SM_CXICON));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, DefaultIconValue,
    ::testing::Values(
        DefaultIconCase{"negative number names the resource id", BinPath(L"IconLib.dll") + L",-205",
                        icon_lookup::kForType, kBlue, 0},
        DefaultIconCase{"resource id of the first icon", BinPath(L"IconLib.dll") + L",-100", icon_lookup::kForType,
                        kRed, 0},
        DefaultIconCase{"positive number is the icon's place", BinPath(L"IconLib.dll") + L",1",
                        icon_lookup::kForType, kGreen, 0},
        DefaultIconCase{"no comma means the first icon", BinPath(L"IconLib.dll"), icon_lookup::kForType, kRed, 0},
        DefaultIconCase{"an icon file", BinPath(L"iconfiles\\red.ico"), icon_lookup::kForType, kRed, 0},
        DefaultIconCase{"an icon file with index", BinPath(L"iconfiles\\red.ico") + L",0", icon_lookup::kForType,
                        kRed, 0},
        DefaultIconCase{"missing resource id", BinPath(L"IconLib.dll") + L",-999", icon_lookup::kNone, -1, 0},
        DefaultIconCase{"icon place beyond the last", BinPath(L"IconLib.dll") + L",17", icon_lookup::kNone, -1, 0},
        DefaultIconCase{"library without icons", BinPath(L"IconLibNone.dll"), icon_lookup::kNone, -1, 0},
        DefaultIconCase{"missing file", BinPath(L"NoSuchLibrary.dll") + L",-205", icon_lookup::kNone, -1, 0},
        DefaultIconCase{"per-file icon", L"%1", icon_lookup::kPerFile, -1, GIL_PERINSTANCE},
        DefaultIconCase{"empty value", L"", icon_lookup::kNone, -1, 0}),
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
    EXPECT_EQ(found.result, icon_lookup::kForType);
    EXPECT_EQ(CentreColour(found.icons.small), kBlue);
}

TEST(WantedIcons, OnlyTheWantedIconIsExtracted) {
    ClassesRegistration reg;
    reg.Type(kExt, kProgId);
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", BinPath(L"IconLib.dll") + L",-101");
    Lookup smallOnly;
    LookUp(kExt, smallOnly, true, false);
    EXPECT_EQ(smallOnly.result, icon_lookup::kForType);
    EXPECT_EQ(CentreColour(smallOnly.icons.small), kGreen);
    EXPECT_EQ(IconWidth(smallOnly.icons.small), ::GetSystemMetrics(SM_CXSMICON));
    Lookup largeOnly;
    LookUp(kExt, largeOnly, false, true);
    EXPECT_EQ(largeOnly.result, icon_lookup::kForType);
    EXPECT_EQ(IconWidth(largeOnly.icons.large), ::GetSystemMetrics(SM_CXICON));
}

TEST(ClassDefaultIcon, IsUsedWhenTheProgIdHasNone) {
    ClassesRegistration reg;
    reg.Type(kExt, kProgId);
    reg.SetDefault(std::wstring(kProgId) + L"\\CLSID", kClassId);
    reg.SetDefault(std::wstring(L"CLSID\\") + kClassId + L"\\DefaultIcon", BinPath(L"IconLib.dll") + L",-101");
    Lookup found;
    LookUp(kExt, found);
    EXPECT_EQ(found.result, icon_lookup::kForType);
    EXPECT_EQ(CentreColour(found.icons.small), kGreen);
    EXPECT_EQ(CentreColour(found.icons.large), kGreen);
}

TEST(ClassDefaultIcon, IsUsedWhenTheProgIdsIconCannotBeExtracted) {
    ClassesRegistration reg;
    reg.Type(kExt, kProgId);
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", BinPath(L"IconLibNone.dll"));
    reg.SetDefault(std::wstring(kProgId) + L"\\CLSID", kClassId);
    reg.SetDefault(std::wstring(L"CLSID\\") + kClassId + L"\\DefaultIcon", BinPath(L"IconLib.dll"));
    Lookup found;
    LookUp(kExt, found);
    EXPECT_EQ(found.result, icon_lookup::kForType);
    EXPECT_EQ(CentreColour(found.icons.small), kRed);
}

TEST(ClassDefaultIcon, GivesWayToTheProgIdsOwn) {
    ClassesRegistration reg;
    reg.Type(kExt, kProgId);
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", BinPath(L"IconLib.dll") + L",-205");
    reg.SetDefault(std::wstring(kProgId) + L"\\CLSID", kClassId);
    reg.SetDefault(std::wstring(L"CLSID\\") + kClassId + L"\\DefaultIcon", BinPath(L"IconLib.dll") + L",-101");
    Lookup found;
    LookUp(kExt, found);
    EXPECT_EQ(CentreColour(found.icons.small), kBlue);
}

TEST(ClassDefaultIcon, AMissingClassKeyFindsNothing) {
    ClassesRegistration reg;
    reg.Type(kExt, kProgId);
    reg.SetDefault(std::wstring(kProgId) + L"\\CLSID", L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4FFF}");
    Lookup found;
    LookUp(kExt, found);
    EXPECT_EQ(found.result, icon_lookup::kNone);
}

}  // namespace
