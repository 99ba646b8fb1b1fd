// Icons of one file: its extension's, the icon kept in each file, and probe files for the shell.
#include <gtest/gtest.h>
#include <shlobj.h>
#include "IconTestSupport.h"
#include "icons/GetFileIcons.h"

using namespace icon_test;

namespace {

constexpr wchar_t kProgId[] = L"LineageTest.FileIcons";

TEST(FileIcons, TakeTheTypesIconsOrTheFilesOwnAndNothingWithoutAnExtension) {
    for (const wchar_t* path : {L"C:\\parts.bfprt\\README", L"README"}) {
        const IconLookup found = GetFileIcons(path);
        EXPECT_EQ(found.result, IconLookupResult::None) << path;
        EXPECT_EQ(found.typeName, L"");
        EXPECT_FALSE(found.HasIcon());
    }
    ClassesRegistration reg;
    reg.Type(L"lnfile", kProgId, L"Lineage File Document");
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", BinPath(L"IconLib.dll") + L",-205");
    const IconLookup typed = GetFileIcons(L"C:\\vault\\Parts.v2\\bracket.lnfile");
    EXPECT_EQ(typed.result, IconLookupResult::ForType);
    EXPECT_EQ(typed.typeName, L"Lineage File Document");
    EXPECT_EQ(CentreColour(typed.small.get()), kBlue);
    EXPECT_EQ(CentreColour(typed.large.get()), kBlue);
    // "DefaultIcon" "%1": each file holds its own icon, its first one.
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", L"%1");
    const std::wstring path = TempFolder() + L"picture.lnfile";
    struct Case { const wchar_t* copyOf; WantedIcons wanted; long colour; };
    const Case cases[] = {{L"IconLib.dll", WantedIcons::Both, kRed}, {L"IconLib.dll", WantedIcons::Small, kRed},
                          {L"IconLibNone.dll", WantedIcons::Both, -1}, {nullptr, WantedIcons::Both, -1}};  // missing
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.copyOf ? c.copyOf : L"missing") << " wanted " << int(c.wanted));
        ::DeleteFileW(path.c_str());
        ASSERT_TRUE(!c.copyOf || ::CopyFileW(BinPath(c.copyOf).c_str(), path.c_str(), FALSE));
        const IconLookup found = GetFileIcons(path.c_str(), c.wanted);
        EXPECT_EQ(found.result, c.colour < 0 ? IconLookupResult::None : IconLookupResult::PerFile);
        EXPECT_EQ(found.flags, DWORD(GIL_PERINSTANCE));
        EXPECT_EQ(CentreColour(found.small.get()), c.colour);
        EXPECT_EQ(CentreColour(found.large.get()), c.wanted == WantedIcons::Both ? c.colour : -1);
    }
    ::DeleteFileW(path.c_str());
}

struct Created {
    std::wstring path;
    DWORD access, share, disposition;
};
std::vector<Created> g_created;
decltype(&::CreateFileW) g_createFile = nullptr;

HANDLE WINAPI RecordCreateFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD attributes, HANDLE templateFile) {
    g_created.push_back({path, access, share, disposition});
    return g_createFile(path, access, share, security, disposition, attributes, templateFile);
}

// Types the registration cannot resolve: the shell is asked about an empty probe file "0.ext",
// "1.ext", ... (the first free name) in the temporary folder.
TEST(ProbeFile, GivesTheShellsIconsOnlyWhenBothAreWantedAndIsRemovedAgain) {
    ClassesRegistration reg;
    reg.Type(L"lnbare", kProgId, L"Bare Type");
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", BinPath(L"IconLibNone.dll"));
    const std::wstring zero = TempFolder() + L"0.lnbare";
    struct Case { const wchar_t* path; const wchar_t* typeName; bool zeroTaken; WantedIcons wanted; const wchar_t* probe; };
    const Case cases[] = {{L"C:\\vault\\Docs\\notes.lnprobe", L"LNPROBE File", false, WantedIcons::Both, L"0.lnprobe"},
                          {L"C:\\vault\\bare.lnbare", L"Bare Type", false, WantedIcons::Both, L"0.lnbare"},
                          {L"C:\\vault\\bare.lnbare", L"Bare Type", true, WantedIcons::Both, L"1.lnbare"},
                          {L"C:\\vault\\bare.lnbare", L"Bare Type", false, WantedIcons::Small, nullptr}};
    const auto probe = [&](const Case& c) {
        SCOPED_TRACE(testing::Message() << c.path << (c.zeroTaken ? " 0 taken" : "") << " wanted " << int(c.wanted));
        ASSERT_TRUE(!c.zeroTaken || WriteFileText(zero, "someone else's"));
        const std::vector<std::wstring> before = TempFiles();
        g_created.clear();
        IconLookup found;
        {
            const ImportPatch patch("kernel32.dll", "CreateFileW", reinterpret_cast<void*>(&RecordCreateFile));
            ASSERT_TRUE(patch.Installed());
            g_createFile = reinterpret_cast<decltype(g_createFile)>(patch.Original());
            found = GetFileIcons(c.path, c.wanted);
        }
        EXPECT_EQ(TempFiles(), before) << "the probe file was left behind, or someone else's was taken";
        ::DeleteFileW(zero.c_str());
        EXPECT_EQ(found.typeName, c.typeName);
        EXPECT_EQ(found.result, c.probe ? IconLookupResult::PerFile : IconLookupResult::None);
        EXPECT_EQ(IconWidth(found.small.get()), c.probe ? ::GetSystemMetrics(SM_CXSMICON) : 0);
        EXPECT_EQ(IconWidth(found.large.get()), c.probe ? ::GetSystemMetrics(SM_CXICON) : 0);
        ASSERT_EQ(g_created.size(), c.probe ? 1u : 0u);
        if (!c.probe)
            return;
        EXPECT_EQ(g_created[0].path, TempFolder() + c.probe);
        EXPECT_EQ(g_created[0].access, 0u);
        EXPECT_EQ(g_created[0].share, 0u);
        EXPECT_EQ(g_created[0].disposition, DWORD(CREATE_NEW));
    };
    RunTwiceLeavingNothing([&] {
        for (const Case& c : cases)
            probe(c);
    });
    // A temporary folder that cannot take files finds nothing, and is not made.
    const std::wstring missing = TempFolder() + L"missing\\";
    ::SetEnvironmentVariableW(L"TMP", missing.c_str());
    const IconLookup found = GetFileIcons(L"C:\\vault\\notes.lnprobe");
    ::SetEnvironmentVariableW(L"TMP", TempFolder().c_str());
    EXPECT_EQ(found.result, IconLookupResult::None);
    EXPECT_FALSE(found.HasIcon());
    EXPECT_EQ(::GetFileAttributesW(missing.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
