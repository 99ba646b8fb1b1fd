// Icons of one file: its extension's, the icon kept in each file, probe files for the shell, and no
// icon left behind by a thousand lookups.
#include <gtest/gtest.h>
#include <shlobj.h>
#include "IconTestSupport.h"
#include "icons/GetExtensionIcons.h"
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
    struct Case { const wchar_t* path; const wchar_t* typeName; bool zeroTaken; WantedIcons wanted; };
    const Case cases[] = {{L"C:\\vault\\Docs\\notes.lnprobe", L"LNPROBE File", false, WantedIcons::Both},
                          {L"C:\\vault\\bare.lnbare", L"Bare Type", false, WantedIcons::Both},
                          {L"C:\\vault\\bare.lnbare", L"Bare Type", true, WantedIcons::Both},
                          {L"C:\\vault\\bare.lnbare", L"Bare Type", false, WantedIcons::Small}};
    for (const Case& c : cases) {
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
        EXPECT_EQ(found.typeName, c.typeName);
        if (c.wanted != WantedIcons::Both) {
            EXPECT_EQ(found.result, IconLookupResult::None);
            EXPECT_TRUE(g_created.empty());
            continue;
        }
        EXPECT_EQ(found.result, IconLookupResult::PerFile);
        EXPECT_EQ(IconWidth(found.small.get()), ::GetSystemMetrics(SM_CXSMICON));
        EXPECT_EQ(IconWidth(found.large.get()), ::GetSystemMetrics(SM_CXICON));
        ASSERT_EQ(g_created.size(), 1u);
        const std::wstring ext = std::wstring(c.path).substr(std::wstring(c.path).rfind(L'.'));
        EXPECT_EQ(g_created[0].path, TempFolder() + (c.zeroTaken ? L"1" : L"0") + ext);
        EXPECT_EQ(g_created[0].access, 0u);
        EXPECT_EQ(g_created[0].share, 0u);
        EXPECT_EQ(g_created[0].disposition, DWORD(CREATE_NEW));
    }
    ::DeleteFileW(zero.c_str());
    // A temporary folder that cannot take files finds nothing, and is not made.
    const std::wstring missing = TempFolder() + L"missing\\";
    ::SetEnvironmentVariableW(L"TMP", missing.c_str());
    const IconLookup found = GetFileIcons(L"C:\\vault\\notes.lnprobe");
    ::SetEnvironmentVariableW(L"TMP", TempFolder().c_str());
    EXPECT_EQ(found.result, IconLookupResult::None);
    EXPECT_FALSE(found.HasIcon());
    EXPECT_EQ(::GetFileAttributesW(missing.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(ManyLookups, LeaveNoIconBehind) {
    ClassesRegistration reg;
    const size_t filesBefore = TempFiles().size();
    // "DefaultIcon" values and handlers of every kind of answer.
    const std::wstring defaultIcons[] = {BinPath(L"IconLib.dll") + L",-205", BinPath(L"IconLibNone.dll"),
                                         BinPath(L"IconLib.dll") + L",-999"};
    const HandlerKind handlers[] = {HandlerKind::Wide, HandlerKind::NotFileName, HandlerKind::Sideload,
                                    HandlerKind::LocationFails};
    std::vector<std::wstring> files;
    for (int i = 1; i <= 7; ++i) {
        const std::wstring progId = L"LineageTest.Leak" + std::to_wstring(i);
        reg.Type(L"lnleak" + std::to_wstring(i), progId, L"Leak Test");
        reg.SetDefault(progId + L"\\DefaultIcon", i <= 3 ? defaultIcons[i - 1] : BinPath(L"IconLib.dll"));
        if (i > 3)
            reg.IconHandler(progId, handlers[i - 4]);
        files.push_back(TempFolder() + L"file.lnleak" + std::to_wstring(i));
        ASSERT_TRUE(WriteFileText(files.back(), "leak test"));
    }
    files.push_back(TempFolder() + L"unregistered.lnleakprobe");
    // One round: every file by path and every extension alone; answers how many icons came back.
    auto round = [&files] {
        int icons = 0;
        for (const auto& file : files) {
            const IconLookup byFile = GetFileIcons(file.c_str());
            const IconLookup byType = GetExtensionIcons(file.substr(file.rfind(L'.') + 1).c_str(), WantedIcons::Both);
            icons += !!byFile.small + !!byFile.large + !!byType.small + !!byType.large;
        }
        return icons;
    };
    const int perRound = round();  // warms the shell's own caches
    ASSERT_GT(perRound, 0);
    const HICON application = ::LoadIconW(nullptr, IDI_APPLICATION);  // loaded once per process
    const int iconsBefore = lineage_test::LiveIconCount(), gdiObjectsBefore = lineage_test::LiveGdiObjectCount();
    for (int i = 0; i < 1000 / int(files.size() * 2) + 1; ++i)
        ASSERT_EQ(round(), perRound) << "round " << i;
    EXPECT_EQ(lineage_test::LiveIconCount(), iconsBefore);
    EXPECT_EQ(lineage_test::LiveGdiObjectCount(), gdiObjectsBefore);
    const ScopedHICON counted(::CopyIcon(application));
    EXPECT_EQ(lineage_test::LiveIconCount(), iconsBefore + 1) << "the count sees no icons";
    EXPECT_EQ(TempFiles().size(), filesBefore + 7) << "a probe file was left behind";
    for (const auto& file : files)
        ::DeleteFileW(file.c_str());
}

}  // namespace
