// Icons of one file: its extension, icons kept in each file, and probe files for the shell.
#include <gtest/gtest.h>
#include <shlobj.h>
#include "IconTestSupport.h"
#include "icons/GetFileIcons.h"

using namespace icon_test;

namespace {

constexpr wchar_t kProgId[] = L"LineageTest.FileIcons";

TEST(FileIcons, APathWithoutExtensionFindsNothingAndHasNoTypeName) {
    for (const wchar_t* path : {L"C:\\vault\\Release 2.1\\Makefile", L"C:\\parts.bfprt\\README", L"C:\\vault\\Docs\\README",
                                L"README"}) {
        const IconLookup found = GetFileIcons(path);
        EXPECT_EQ(found.result, IconLookupResult::None) << Utf8(path);
        EXPECT_EQ(found.typeName, L"");
        EXPECT_FALSE(found.small || found.large);
    }
}

TEST(FileIcons, AFileOfARegisteredTypeGetsTheTypesIconsAndName) {
    ClassesRegistration reg;
    reg.Type(L"lnfile", kProgId, L"Lineage File Document");
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", BinPath(L"IconLib.dll") + L",-205");
    const IconLookup found = GetFileIcons(L"C:\\vault\\Parts.v2\\bracket.lnfile");
    EXPECT_EQ(found.result, IconLookupResult::ForType);
    EXPECT_EQ(found.typeName, L"Lineage File Document");
    EXPECT_EQ(found.typeNameFromRegistry, 1);
    EXPECT_EQ(found.flags, 0u);
    EXPECT_EQ(CentreColour(found.small.get()), kBlue);
    EXPECT_EQ(CentreColour(found.large.get()), kBlue);
}

TEST(FileIcons, ATypeWithItsIconInEachFileTakesTheFilesFirstIcon) {
    // "DefaultIcon" "%1": each file holds its own icon.
    ClassesRegistration reg;
    reg.Type(L"lnpct", kProgId, L"Lineage Picture");
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", L"%1");
    PrivateTempFolder temp(L"eachfile");
    struct Case { const wchar_t* copyOf; WantedIcons wanted; long colour; };
    const Case cases[] = {{L"IconLib.dll", WantedIcons::Both, kRed}, {L"IconLib.dll", WantedIcons::Small, kRed},
                          {L"IconLibNone.dll", WantedIcons::Both, -1}, {nullptr, WantedIcons::Both, -1}};  // missing file
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.copyOf ? Utf8(c.copyOf) : "missing") << " wanted " << int(c.wanted));
        const std::wstring path = temp.Path() + L"picture.lnpct";
        ::DeleteFileW(path.c_str());
        if (c.copyOf) {
            ASSERT_TRUE(::CopyFileW(BinPath(c.copyOf).c_str(), path.c_str(), FALSE));
        }
        const IconLookup found = GetFileIcons(path.c_str(), c.wanted);
        EXPECT_EQ(found.result, c.colour < 0 ? IconLookupResult::None : IconLookupResult::PerFile);
        if (c.copyOf) {
            EXPECT_EQ(found.flags, DWORD(GIL_PERINSTANCE));
        }
        EXPECT_EQ(CentreColour(found.small.get()), c.colour);
        EXPECT_EQ(CentreColour(found.large.get()), c.wanted == WantedIcons::Both ? c.colour : -1);
    }
}

// Unresolved types: the shell is asked about an empty probe file in the temporary folder.
TEST(ProbeFile, GivesTheShellsIconsForAnUnregisteredTypeOrOneWithoutIcons) {
    PrivateTempFolder temp(L"probe");
    ClassesRegistration reg;
    reg.Type(L"lnbare", kProgId, L"Bare Type");
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", BinPath(L"IconLibNone.dll"));
    for (const auto& [path, typeName] : {std::pair{L"C:\\vault\\Docs\\notes.lnprobe", L"LNPROBE File"},
                                         std::pair{L"C:\\vault\\bare.lnbare", L"Bare Type"}}) {
        const IconLookup found = GetFileIcons(path);
        EXPECT_EQ(found.result, IconLookupResult::PerFile);
        EXPECT_EQ(IconWidth(found.small.get()), ::GetSystemMetrics(SM_CXSMICON));
        EXPECT_EQ(IconWidth(found.large.get()), ::GetSystemMetrics(SM_CXICON));
        EXPECT_EQ(found.typeName, typeName);
        EXPECT_TRUE(temp.Files().empty()) << "the probe file was left behind";
    }
}

TEST(ProbeFile, NamesAreTriedFromZeroUpwardAndOnlyWhenBothIconsAreWanted) {
    PrivateTempFolder temp(L"probe");
    const std::wstring zero = temp.Path() + L"0.lnprobe", one = temp.Path() + L"1.lnprobe";
    ASSERT_TRUE(WriteFileText(zero, "someone else's"));
    std::vector<FileCall> calls;
    {
        FileCallRecorder recorder(temp.Path());
        ASSERT_TRUE(recorder.Installed());
        const IconLookup small = GetFileIcons(L"C:\\vault\\notes.lnprobe", WantedIcons::Small);
        EXPECT_EQ(small.result, IconLookupResult::None);
        EXPECT_TRUE(recorder.Calls().empty());
        EXPECT_EQ(GetFileIcons(L"C:\\vault\\Docs\\notes.lnprobe").result, IconLookupResult::PerFile);
        calls = recorder.Calls();
    }
    ASSERT_EQ(calls.size(), 4u);
    const std::pair<const char*, std::wstring> expected[] = {
        {"GetFileAttributesW", zero}, {"GetFileAttributesW", one}, {"CreateFileW", one}, {"DeleteFileW", one}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(calls[i].function, expected[i].first);
        EXPECT_EQ(calls[i].path, expected[i].second);
    }
    EXPECT_EQ(calls[2].access, 0u);
    EXPECT_EQ(calls[2].share, 0u);
    EXPECT_EQ(calls[2].disposition, DWORD(CREATE_NEW));
    EXPECT_EQ(temp.Files(), std::vector<std::wstring>{L"0.lnprobe"});
    EXPECT_EQ(ReadFileText(zero), "someone else's");
}

TEST(ProbeFile, ATemporaryFolderThatCannotTakeFilesFindsNothingAndLeavesNothing) {
    PrivateTempFolder temp(L"probe");
    const std::wstring missing = temp.Path() + L"missing\\";
    ::SetEnvironmentVariableW(L"TMP", missing.c_str());
    ::SetEnvironmentVariableW(L"TEMP", missing.c_str());
    const IconLookup found = GetFileIcons(L"C:\\vault\\notes.lnprobe");
    EXPECT_EQ(found.result, IconLookupResult::None);
    EXPECT_FALSE(found.small || found.large);
    EXPECT_EQ(::GetFileAttributesW(missing.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(temp.Files().empty());
}

}  // namespace
