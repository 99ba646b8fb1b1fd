// Icons of one file: its extension, icons kept in each file, and probe files for the shell.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "IconTestSupport.h"
#include "icons/GetFileIcons.h"
#include "icons/IconLookup.h"

using namespace icon_test;

namespace {

constexpr wchar_t kProgId[] = L"LineageTest.FileIcons";

using FileLookup = IconLookup;

void LookUp(const std::wstring& path, FileLookup& out) { out = GetFileIcons(path.c_str()); }

struct PathCase {
    const char* name;
    const wchar_t* path;
};
std::ostream& operator<<(std::ostream& os, const PathCase& c) { return os << c.name; }
class PathWithoutExtension : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathWithoutExtension, FindsNothingAndHasNoTypeName) {
    FileLookup found;
    LookUp(GetParam().path, found);
    EXPECT_EQ(found.result, IconLookupResult::None);
    EXPECT_EQ(found.typeName, L"");
    EXPECT_EQ(found.small.get(), nullptr);
    EXPECT_EQ(found.large.get(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Paths, PathWithoutExtension,
                         ::testing::Values(PathCase{"DotInFolderName", L"C:\\vault\\Release 2.1\\Makefile"},
                                           PathCase{"DotInRootFolderName", L"C:\\parts.bfprt\\README"},
                                           PathCase{"NoDotAtAll", L"C:\\vault\\Docs\\README"},
                                           PathCase{"BareNameWithoutDot", L"README"}),
                         [](const ::testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

TEST(FileOfRegisteredType, GetsTheTypesIconsAndName) {
    ClassesRegistration reg;
    reg.Type(L"lnfile", kProgId, L"Lineage File Document");
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", BinPath(L"IconLib.dll") + L",-205");
    FileLookup found;
    LookUp(L"C:\\vault\\Parts.v2\\bracket.lnfile", found);
    EXPECT_EQ(found.result, IconLookupResult::ForType);
    EXPECT_EQ(found.typeName, L"Lineage File Document");
    EXPECT_EQ(found.typeNameFromRegistry, 1);
    EXPECT_EQ(found.flags, 0u);
    EXPECT_EQ(CentreColour(found.small.get()), kBlue);
    EXPECT_EQ(CentreColour(found.large.get()), kBlue);
}

// Types whose "DefaultIcon" is "%1" keep their icon in each file.
class IconInEachFile : public ::testing::Test {
protected:
    void SetUp() override {
        m_reg.Type(L"lnpct", kProgId, L"Lineage Picture");
        m_reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", L"%1");
    }
    std::wstring CopyAs(const wchar_t* fixture, const wchar_t* name) {
        const std::wstring path = m_temp.Path() + name;
        EXPECT_TRUE(::CopyFileW(BinPath(fixture).c_str(), path.c_str(), FALSE));
        return path;
    }
    ClassesRegistration m_reg;
    PrivateTempFolder m_temp{L"eachfile"};
};

TEST_F(IconInEachFile, TheFilesFirstIconIsUsed) {
    FileLookup found;
    LookUp(CopyAs(L"IconLib.dll", L"picture.lnpct"), found);
    EXPECT_EQ(found.result, IconLookupResult::PerFile);
    EXPECT_EQ(found.flags, static_cast<DWORD>(GIL_PERINSTANCE));
    EXPECT_EQ(CentreColour(found.small.get()), kRed);
    EXPECT_EQ(CentreColour(found.large.get()), kRed);
}

TEST_F(IconInEachFile, AFileWithoutIconsFindsNothing) {
    FileLookup found;
    LookUp(CopyAs(L"IconLibNone.dll", L"empty.lnpct"), found);
    EXPECT_EQ(found.result, IconLookupResult::None);
    EXPECT_EQ(found.flags, static_cast<DWORD>(GIL_PERINSTANCE));
    EXPECT_EQ(found.small.get(), nullptr);
    EXPECT_EQ(found.large.get(), nullptr);
}

TEST_F(IconInEachFile, AMissingFileFindsNothing) {
    FileLookup found;
    LookUp(m_temp.Path() + L"gone.lnpct", found);
    EXPECT_EQ(found.result, IconLookupResult::None);
    EXPECT_EQ(found.small.get(), nullptr);
}

TEST_F(IconInEachFile, OneWantedIconIsEnough) {
    const std::wstring path = CopyAs(L"IconLib.dll", L"picture.lnpct");
    const IconLookup icons = GetFileIcons(path.c_str(), WantedIcons::Small);
    EXPECT_EQ(icons.result, IconLookupResult::PerFile);
    EXPECT_EQ(CentreColour(icons.small.get()), kRed);
}

// Unresolved types: the shell is asked about an empty probe file in the temporary folder.
class ProbeFile : public ::testing::Test {
protected:
    PrivateTempFolder m_temp{L"probe"};
};

TEST_F(ProbeFile, GivesTheShellsIconsForAnUnregisteredType) {
    FileLookup found;
    LookUp(L"C:\\vault\\Docs\\notes.lnprobe", found);
    EXPECT_EQ(found.result, IconLookupResult::PerFile);
    EXPECT_NE(found.small.get(), nullptr);
    EXPECT_NE(found.large.get(), nullptr);
    EXPECT_EQ(IconWidth(found.small.get()), ::GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(IconWidth(found.large.get()), ::GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(found.typeName, L"LNPROBE File");
    EXPECT_TRUE(m_temp.Files().empty()) << "the probe file was left behind";
}

TEST_F(ProbeFile, NamesAreTriedFromZeroUpward) {
    ASSERT_TRUE(WriteFileText(m_temp.Path() + L"0.lnprobe", "someone else's"));
    FileLookup found;
    std::vector<FileCall> calls;
    {
        FileCallRecorder recorder(m_temp.Path());
        ASSERT_TRUE(recorder.Installed());
        LookUp(L"C:\\vault\\Docs\\notes.lnprobe", found);
        calls = recorder.Calls();
    }
    EXPECT_EQ(found.result, IconLookupResult::PerFile);
    const std::wstring zero = m_temp.Path() + L"0.lnprobe";
    const std::wstring one = m_temp.Path() + L"1.lnprobe";
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].function, "GetFileAttributesW");
    EXPECT_EQ(calls[0].path, zero);
    EXPECT_EQ(calls[1].function, "GetFileAttributesW");
    EXPECT_EQ(calls[1].path, one);
    EXPECT_EQ(calls[2].function, "CreateFileW");
    EXPECT_EQ(calls[2].path, one);
    EXPECT_EQ(calls[2].access, 0u);
    EXPECT_EQ(calls[2].share, 0u);
    EXPECT_EQ(calls[2].disposition, static_cast<DWORD>(CREATE_NEW));
    EXPECT_EQ(calls[3].function, "DeleteFileW");
    EXPECT_EQ(calls[3].path, one);
    EXPECT_EQ(m_temp.Files(), std::vector<std::wstring>{L"0.lnprobe"});
    EXPECT_EQ(ReadFileText(zero), "someone else's");
}

TEST_F(ProbeFile, IsAlsoUsedForARegisteredTypeWithoutIcons) {
    ClassesRegistration reg;
    reg.Type(L"lnbare", kProgId, L"Bare Type");
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", BinPath(L"IconLibNone.dll"));
    FileLookup found;
    LookUp(L"C:\\vault\\bare.lnbare", found);
    EXPECT_EQ(found.result, IconLookupResult::PerFile);
    EXPECT_NE(found.small.get(), nullptr);
    EXPECT_NE(found.large.get(), nullptr);
    EXPECT_EQ(found.typeName, L"Bare Type");
    EXPECT_TRUE(m_temp.Files().empty());
}

TEST_F(ProbeFile, IsNotMadeWhenOnlyOneIconIsWanted) {
    FileCallRecorder recorder(m_temp.Path());
    ASSERT_TRUE(recorder.Installed());
    const IconLookup icons = GetFileIcons(L"C:\\vault\\notes.lnprobe", WantedIcons::Small);
    EXPECT_EQ(icons.result, IconLookupResult::None);
    EXPECT_EQ(icons.small.get(), nullptr);
    EXPECT_TRUE(recorder.Calls().empty());
}

TEST_F(ProbeFile, ATemporaryFolderThatCannotTakeFilesFindsNothingAndLeavesNothing) {
    const std::wstring missingFolder = m_temp.Path() + L"missing\\";
    ::SetEnvironmentVariableW(L"TMP", missingFolder.c_str());
    ::SetEnvironmentVariableW(L"TEMP", missingFolder.c_str());
    FileLookup found;
    LookUp(L"C:\\vault\\notes.lnprobe", found);
    EXPECT_EQ(found.result, IconLookupResult::None);
    EXPECT_EQ(found.small.get(), nullptr);
    EXPECT_EQ(found.large.get(), nullptr);
    EXPECT_EQ(::GetFileAttributesW(missingFolder.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(m_temp.Files().empty());
}

}  // namespace
