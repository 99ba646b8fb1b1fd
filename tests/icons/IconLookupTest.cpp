// The file-type icon lookups: a type's registration walk, one file's icons, and icon handlers.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <filesystem>
#include "IconTestSupport.h"
#include "icons/GetExtensionIcons.h"
#include "icons/GetFileIcons.h"
#include "icons/GetHandlerIcons.h"
#include "icons/MakeDefaultTypeName.h"

using namespace icon_test;

namespace {

constexpr wchar_t kProgId[] = L"LineageTest.Lookup";
constexpr wchar_t kClassId[] = L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F01}";
constexpr HandlerKind kNoHandler = HandlerKind(0xFF);
constexpr auto Both = WantedIcons::Both, Small = WantedIcons::Small, Large = WantedIcons::Large;
constexpr auto ForType = IconLookupResult::ForType, None = IconLookupResult::None, PerFile = IconLookupResult::PerFile;

std::wstring Lib(const wchar_t* index) { return BinPath(L"IconLib.dll") + index; }

TEST(RegistrationWalk, TakesTheHandlersThenTheProgIdsThenTheClasssIcons) {
    ::SetEnvironmentVariableW(L"LINEAGE_ICON_FIXTURES", BinPath(L"").c_str());
    // Handlers are shown any existing file: they never read it.
    const std::wstring file = BinPath(L"IconLib.dll"), missing = TempFolder() + L"missing.lnwalk";
    struct Case {  // "DefaultIcon" values (empty: none), the handler and the file it is asked about; colour -1: none
        std::wstring progIdIcon, classIcon; HandlerKind handler; const std::wstring* path; WantedIcons wanted;
        IconLookupResult result; long colour; DWORD flags, type = REG_SZ; const wchar_t* extension = L"lnwalk";
    };
    const Case cases[] = {
        {Lib(L",-205"), L"", kNoHandler, nullptr, Both, ForType, kBlue, 0},  // a negative number is a resource id
        {Lib(L",1"), L"", kNoHandler, nullptr, Both, ForType, kGreen, 0},    // a positive one the icon's place
        {Lib(L""), L"", kNoHandler, nullptr, Both, ForType, kRed, 0},
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
        // A handler without icons for a missing file: its verdict holds for the class's icon.
        {L"", Lib(L",-101"), HandlerKind::PerInstance, &missing, Both, PerFile, kGreen, GIL_PERINSTANCE}};
    std::vector<Case> rows(std::begin(cases), std::end(cases));
    // The host's own formats never ask their handler.
    for (const wchar_t* extension : {L"bfprt", L"prt", L"bfasm", L"asm", L"bfdrw", L"drw", L"mat"})
        rows.push_back({Lib(L",-205"), L"", HandlerKind::Wide, &file, Both, ForType, kBlue, 0, REG_SZ, extension});
    RunTwiceLeavingNothing(rows, [&](const Case& c) {
        SCOPED_TRACE(testing::Message() << "row " << &c - rows.data());
        ClassesRegistration reg;
        reg.Type(c.extension, kProgId);
        reg.Set(kProgId, L"Lineage Walk Document");
        if (!c.progIdIcon.empty())
            reg.Set(std::wstring(kProgId) + L"\\DefaultIcon", c.progIdIcon, nullptr, c.type);
        if (!c.classIcon.empty()) {
            reg.Set(std::wstring(kProgId) + L"\\CLSID", kClassId);
            reg.Set(std::wstring(L"CLSID\\") + kClassId + L"\\DefaultIcon", c.classIcon);
        }
        if (c.handler != kNoHandler)
            reg.IconHandler(kProgId, c.handler);
        const IconLookup found = GetExtensionIcons(c.extension, c.wanted, c.path ? c.path->c_str() : nullptr);
        EXPECT_EQ(found.result, c.result);
        EXPECT_EQ(found.flags, c.flags);
        EXPECT_EQ(found.typeName, L"Lineage Walk Document");
        EXPECT_TRUE(found.typeNameFromRegistry);
        EXPECT_EQ(CentreColour(found.small.get()), Wants(c.wanted, Small) ? c.colour : -1);
        EXPECT_EQ(CentreColour(found.large.get()), Wants(c.wanted, Large) ? c.colour : -1);
    });
}

// Wine's ExtractIconExW gives both halves of a pair or none: other answers are played through its import.
struct Played { UINT answer; HICON large, small; } g_played;

UINT WINAPI PlayExtractIconEx(LPCWSTR, int, HICON* large, HICON* small, UINT) {
    if (large)
        *large = g_played.large;
    if (small)
        *small = g_played.small;
    return g_played.answer;
}

TEST(PlayedExtraction, HalfAPairIsNothingUnlessOnlyThatHalfIsWantedAndFailedCallsAreNotTrusted) {
    struct Case { UINT answer; bool large, small; WantedIcons wanted; bool inEachFile, taken; };
    const Case cases[] = {{1, true, false, Both, false, false}, {1, true, false, Large, false, true},
                          {0xFFFFFFFF, true, true, Both, false, false}, {0, true, true, Both, false, false},
                          {2, true, true, Both, false, true},
                          {1, false, true, Both, true, true}};  // a file's own icon may come as half a pair
    const ImportPatch patch("shell32.dll", "ExtractIconExW", reinterpret_cast<void*>(&PlayExtractIconEx));
    ASSERT_TRUE(patch.Installed());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        ClassesRegistration reg;
        reg.Type(L"lnpartial", kProgId, c.inEachFile ? L"%1" : Lib(L",-205"));
        const HICON application = ::LoadIconW(nullptr, IDI_APPLICATION);
        g_played = {c.answer, c.large ? ::CopyIcon(application) : nullptr, c.small ? ::CopyIcon(application) : nullptr};
        const IconLookup found = c.inEachFile ? GetFileIcons(L"C:\\vault\\picture.lnpartial")
                                              : GetExtensionIcons(L"lnpartial", c.wanted);
        EXPECT_EQ(found.result, c.taken ? (c.inEachFile ? PerFile : ForType) : None);
        EXPECT_EQ(found.large.get(), c.taken ? g_played.large : nullptr);
        EXPECT_EQ(found.small.get(), c.taken ? g_played.small : nullptr);
        // A half that came is destroyed; someone else's handles from a failed call are not.
        const bool failed = c.answer == 0 || c.answer == 0xFFFFFFFF;
        for (HICON played : {g_played.large, g_played.small})
            EXPECT_TRUE(!played || c.taken || ::DestroyIcon(played) == BOOL(failed));
    }
}

TEST(FileIcons, TakeTheFilesOwnForATypeThatKeepsThemInEachAndNothingWithoutAnExtension) {
    for (const wchar_t* path : {L"C:\\parts.bfprt\\README", L"README"}) {
        const IconLookup found = GetFileIcons(path);
        EXPECT_EQ(found.result, None) << path;
        EXPECT_EQ(found.typeName, L"");
    }
    ClassesRegistration reg;
    reg.Type(L"lnfile", kProgId, L"%1");  // each file holds its own icon, its first one
    const std::wstring path = TempFolder() + L"picture.lnfile";
    struct Case { const wchar_t* copyOf; WantedIcons wanted; long colour; };
    const Case cases[] = {{L"IconLib.dll", Both, kRed}, {L"IconLib.dll", Small, kRed},
                          {L"IconLibNone.dll", Both, -1}, {nullptr, Both, -1}};  // missing
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.copyOf ? c.copyOf : L"missing") << " wanted " << int(c.wanted));
        ::DeleteFileW(path.c_str());
        ASSERT_TRUE(!c.copyOf || ::CopyFileW(BinPath(c.copyOf).c_str(), path.c_str(), FALSE));
        const IconLookup found = GetFileIcons(path.c_str(), c.wanted);
        EXPECT_EQ(found.result, c.colour < 0 ? None : PerFile);
        EXPECT_EQ(found.flags, DWORD(GIL_PERINSTANCE));
        EXPECT_EQ(CentreColour(found.small.get()), c.colour);
        EXPECT_EQ(CentreColour(found.large.get()), c.wanted == Both ? c.colour : -1);
    }
    ::DeleteFileW(path.c_str());
}

struct Created { std::wstring path; DWORD access, share, disposition; };
std::vector<Created> g_created;
decltype(&::CreateFileW) g_createFile = nullptr;

HANDLE WINAPI RecordCreateFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD attributes, HANDLE templateFile) {
    g_created.push_back({path, access, share, disposition});
    return g_createFile(path, access, share, security, disposition, attributes, templateFile);
}

// Types the registration cannot resolve: the shell is asked about an empty probe file "0.ext", "1.ext", ...
TEST(ProbeFile, GivesTheShellsIconsOnlyWhenBothAreWantedAndIsRemovedAgain) {
    EXPECT_EQ(MakeDefaultTypeName(L""), L"File");
    EXPECT_EQ(MakeDefaultTypeName(nullptr), L"File");
    ClassesRegistration reg;
    reg.Type(L"lnbare", kProgId, BinPath(L"IconLibNone.dll"));
    const std::wstring zero = TempFolder() + L"0.lnbare";
    struct Case { const wchar_t *path, *typeName; bool zeroTaken; WantedIcons wanted; const wchar_t* probe; };
    const Case cases[] = {{L"C:\\vault\\Docs\\notes.lnprobe", L"LNPROBE File", false, Both, L"0.lnprobe"},
                          {L"C:\\vault\\bare.lnbare", L"LNBARE File", false, Both, L"0.lnbare"},
                          {L"C:\\vault\\bare.lnbare", L"LNBARE File", true, Both, L"1.lnbare"},
                          {L"C:\\vault\\bare.lnbare", L"LNBARE File", false, Small, nullptr}};
    const ImportPatch patch("kernel32.dll", "CreateFileW", reinterpret_cast<void*>(&RecordCreateFile));
    ASSERT_TRUE(patch.Installed());
    g_createFile = reinterpret_cast<decltype(g_createFile)>(patch.Original());
    RunTwiceLeavingNothing(cases, [&](const Case& c) {
        SCOPED_TRACE(testing::Message() << c.path << (c.zeroTaken ? " 0 taken" : "") << " wanted " << int(c.wanted));
        ASSERT_TRUE(!c.zeroTaken || ::CopyFileW(BinPath(L"IconLib.dll").c_str(), zero.c_str(), FALSE));
        g_created.clear();
        const IconLookup found = GetFileIcons(c.path, c.wanted);
        EXPECT_EQ(::DeleteFileW(zero.c_str()), BOOL(c.zeroTaken)) << "someone else's file was taken";
        EXPECT_EQ(found.typeName, c.typeName);
        EXPECT_FALSE(found.typeNameFromRegistry);
        EXPECT_EQ(found.result, c.probe ? PerFile : None);
        EXPECT_EQ(IconWidth(found.small.get()), c.probe ? ::GetSystemMetrics(SM_CXSMICON) : 0);
        EXPECT_EQ(IconWidth(found.large.get()), c.probe ? ::GetSystemMetrics(SM_CXICON) : 0);
        ASSERT_EQ(g_created.size(), c.probe ? 1u : 0u);
        if (!c.probe)
            return;
        EXPECT_EQ(g_created[0].path, TempFolder() + c.probe);
        EXPECT_EQ(::GetFileAttributesW(g_created[0].path.c_str()), INVALID_FILE_ATTRIBUTES) << "left behind";
        EXPECT_EQ(g_created[0].access, 0u);
        EXPECT_EQ(g_created[0].share, 0u);
        EXPECT_EQ(g_created[0].disposition, DWORD(CREATE_NEW));
    });
    // A temporary folder that cannot take files finds nothing, and is not made.
    const std::wstring missing = TempFolder() + L"missing\\";
    ::SetEnvironmentVariableW(L"TMP", missing.c_str());
    const IconLookup found = GetFileIcons(L"C:\\vault\\notes.lnprobe");
    ::SetEnvironmentVariableW(L"TMP", TempFolder().c_str());
    EXPECT_EQ(found.result, None);
    EXPECT_EQ(::GetFileAttributesW(missing.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(HandlerIcons, GiveTheResultFlagsAndIconsOfTheirKindOrNothingWhenTheyCannotBeMade) {
    const std::wstring file = BinPath(L"IconLib.dll"), missing = TempFolder() + L"missing.lnhandled";
    struct Case {  // a fixture handler, or a class id (and its server) that cannot be made
        HandlerKind kind; const std::wstring& path; IconLookupResult result; DWORD flags; long colour;
        const wchar_t* clsid = nullptr; std::wstring server = L"";
    };
    const Case cases[] = {
        {HandlerKind::Wide, file, ForType, 0, kMagenta},
        {HandlerKind::AnsiOnly, file, ForType, 0, kMagenta},
        {HandlerKind::LoadFails, file, None, GIL_DONTCACHE, -1},
        {HandlerKind::LocationFails, file, None, GIL_DONTCACHE, -1},
        {HandlerKind::DontCache, file, PerFile, GIL_DONTCACHE, kMagenta},
        {HandlerKind::DontCache, missing, PerFile, GIL_DONTCACHE, -1},  // the verdict counts, without icons
        {HandlerKind::PerInstance, file, PerFile, GIL_PERINSTANCE, kMagenta},
        {HandlerKind::NotFileName, file, ForType, GIL_NOTFILENAME, kGreen},  // drawn by the handler
        {HandlerKind::EmptyLocation, file, None, 0, -1},
        {HandlerKind::Sideload, file, ForType, 0, kOrange},  // loaded by hand, in its folder, and freed again
        {kNoHandler, file, None, 0, -1, L"IconHandlerWide"},
        {kNoHandler, file, None, 0, -1, L"5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F10"},
        {kNoHandler, file, None, 0, -1, L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F11}"},  // not registered
        {kNoHandler, file, None, 0, -1, L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F12}", BinPath(L"NoSuchServer.dll")},
        {kNoHandler, file, None, 0, -1, L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F13}", BinPath(L"IconLib.dll")},
        {kNoHandler, file, None, 0, -1, L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F14}", ServerPath(HandlerKind::Wide)}};
    const std::wstring cwd = std::filesystem::current_path();
    RunTwiceLeavingNothing(cases, [&](const Case& c) {
        const std::wstring clsid = c.clsid ? c.clsid : ClassIdText(c.kind);
        const std::wstring server = c.clsid ? c.server : ServerPath(c.kind);
        SCOPED_TRACE(testing::Message() << clsid << " " << server << " " << c.path);
        ClassesRegistration reg;
        if (!server.empty())
            reg.Server(clsid, server);
        const IconLookup icons = GetHandlerIcons(clsid.c_str(), c.path.c_str(), WantedIcons::Both);
        EXPECT_EQ(icons.result, c.result);
        EXPECT_EQ(icons.flags, c.flags);
        EXPECT_EQ(CentreColour(icons.small.get()), c.colour);
        EXPECT_EQ(CentreColour(icons.large.get()), c.colour);
        EXPECT_EQ(IconWidth(icons.small.get()), c.colour >= 0 ? 16 : 0);
        EXPECT_EQ(IconWidth(icons.large.get()), c.colour >= 0 ? 32 : 0);
        EXPECT_EQ(std::filesystem::current_path(), cwd);
        if (c.clsid)
            return;
        const HandlerCall* call = LastCall(c.kind);
        if (c.kind == HandlerKind::Sideload) {
            EXPECT_EQ(call, nullptr) << "the hand-loaded server stayed loaded";
            return;
        }
        ASSERT_NE(call, nullptr);
        EXPECT_EQ(call->loadedPath, c.path);
        EXPECT_EQ(call->loadMode, 0u);
        EXPECT_EQ(call->locationFlagsIn, c.kind == HandlerKind::LoadFails ? call->locationFlagsIn : GIL_FORSHELL);
        EXPECT_EQ(call->objects, 0) << "the handler was not released";
    });
}

}  // namespace
