// The file-type icon lookups (a type's registration walk, one file's icons, icon handlers) and the icon cache.
#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>
#include <filesystem>
#include "HostInstallation.h"
#include "IconTestSupport.h"
#include "contracts/ZebSettings.h"
#include "icons/IconCache.h"
#include "icons/GetExtensionIcons.h"
#include "icons/GetFileIcons.h"
#include "icons/GetHandlerIcons.h"
#include "icons/MakeDefaultTypeName.h"

using namespace icon_test;
using namespace std::string_literals;

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
        EXPECT_EQ(Found(found), std::tuple(c.result, c.flags, Wants(c.wanted, Small) ? c.colour : -1,
                                           Wants(c.wanted, Large) ? c.colour : -1));
        EXPECT_EQ(std::pair(found.typeName, found.typeNameFromRegistry), std::pair(L"Lineage Walk Document"s, true));
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
        EXPECT_EQ(std::tuple(found.result, found.large.get(), found.small.get()),
                  c.taken ? std::tuple(c.inEachFile ? PerFile : ForType, g_played.large, g_played.small)
                          : std::tuple(None, HICON{}, HICON{}));
        // A half that came is destroyed; someone else's handles from a failed call are not.
        const bool failed = c.answer == 0 || c.answer == 0xFFFFFFFF;
        for (HICON played : {g_played.large, g_played.small})
            EXPECT_TRUE(!played || c.taken || ::DestroyIcon(played) == BOOL(failed));
    }
}

TEST(FileIcons, TakeTheFilesOwnForATypeThatKeepsThemInEachAndNothingWithoutAnExtension) {
    for (const wchar_t* path : {L"C:\\parts.bfprt\\README", L"README"}) {
        const IconLookup found = GetFileIcons(path);
        EXPECT_EQ(std::pair(found.result, found.typeName), std::pair(None, L""s)) << path;
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
        EXPECT_EQ(Found(GetFileIcons(path.c_str(), c.wanted)),
                  std::tuple(c.colour < 0 ? None : PerFile, DWORD(GIL_PERINSTANCE), c.colour,
                             c.wanted == Both ? c.colour : -1));
    }
    ::DeleteFileW(path.c_str());
}

using Created = std::tuple<std::wstring, DWORD, DWORD, DWORD>;  // path, access, share, disposition
std::vector<Created> g_created;
decltype(&::CreateFileW) g_createFile = nullptr;

HANDLE WINAPI RecordCreateFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD attributes, HANDLE templateFile) {
    g_created.emplace_back(path, access, share, disposition);
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
        const int small = ::GetSystemMetrics(SM_CXSMICON), large = ::GetSystemMetrics(SM_CXICON);
        EXPECT_EQ(std::tuple(found.typeName, found.typeNameFromRegistry, found.result, IconWidth(found.small.get()),
                             IconWidth(found.large.get())),
                  std::tuple(std::wstring(c.typeName), false, c.probe ? PerFile : None, c.probe ? small : 0,
                             c.probe ? large : 0));
        const std::wstring probe = c.probe ? TempFolder() + c.probe : L"";
        EXPECT_EQ(g_created, (c.probe ? std::vector<Created>{{probe, 0, 0, CREATE_NEW}} : std::vector<Created>{}));
        EXPECT_EQ(::GetFileAttributesW(probe.c_str()), INVALID_FILE_ATTRIBUTES) << "left behind";
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
        EXPECT_EQ(Found(icons), std::tuple(c.result, c.flags, c.colour, c.colour));
        EXPECT_EQ(std::pair(IconWidth(icons.small.get()), IconWidth(icons.large.get())),
                  c.colour >= 0 ? std::pair(16, 32) : std::pair(0, 0));
        EXPECT_EQ(std::filesystem::current_path(), cwd);
        if (c.clsid)
            return;
        const HandlerCall* call = LastCall(c.kind);
        ASSERT_EQ(call == nullptr, c.kind == HandlerKind::Sideload) << "only the hand-loaded server is freed at once";
        if (!call)
            return;
        const UINT flagsIn = c.kind == HandlerKind::LoadFails ? call->locationFlagsIn : GIL_FORSHELL;
        EXPECT_EQ(std::tuple(std::wstring(call->loadedPath), call->loadMode, call->locationFlagsIn, call->objects),
                  std::tuple(c.path, DWORD{0}, flagsIn, LONG{0})) << "the last number: handlers not released";
    });
}

constexpr int kBuiltinCount = 12;  // the first picture request loads these as indices 0 to 11
constexpr wchar_t kCachedProgId[] = L"LineageTest.Cached";

[[maybe_unused]] const auto kInstallation = ::testing::AddGlobalTestEnvironment(new HostInstallation);

int SmallSize() { return CDPIHelper::get()->getDesiredBitmapImageSz(kivImageUseSmall); }

element_test::Pixels PictureAt(IconCache& cache, int index) {
    return IconPixels(ScopedHICON(cache.CopyIcon(index, SmallSize())).get());
}

// Names without an extension, and a file without icons of a type that keeps them in each file.
TEST(IconCache, AFileWithoutIconGetsTheUnknownPictureAfterTheLibrarysOwn) {
    ClassesRegistration reg;
    reg.Type(L"lnnoicon", kCachedProgId, L"%1");
    for (const std::wstring name : {L"C:\\vault\\README", L"C:\\vault\\README.", L"C:\\vault\\Release 2.1\\Makefile",
                                    L"C:\\vault\\missing.lnnoicon"}) {
        SCOPED_TRACE(name);
        IconCache cache;
        EXPECT_EQ(cache.GetFileIconIndex(name.c_str()), kBuiltinCount);
        const auto unknown = PictureAt(cache, 0);
        EXPECT_EQ(PictureAt(cache, kBuiltinCount), unknown) << "127 is the same unknown-type picture";
        EXPECT_EQ(cache.GetWfIconIndex(131, Plain, L"PNG_WORKFLOW", kivImageUseSmall), 10);
        for (int index = 0; index < kBuiltinCount; ++index)
            EXPECT_FALSE(PictureAt(cache, index).empty()) << index;
        EXPECT_EQ(PictureAt(cache, 2), PictureAt(cache, 1)) << "126 shows 121's picture";
        EXPECT_NE(PictureAt(cache, 3), PictureAt(cache, 1));
        // For a type, each variant loads the picture again, then draws its overlay over that copy.
        const int variants = name.find(L".lnnoicon") != std::wstring::npos ? IgnorePrevState : Plain;
        for (int variant = Shared; variant <= variants; ++variant) {
            const int reloaded = kBuiltinCount - 1 + 2 * variant;
            EXPECT_EQ(PictureAt(cache, reloaded), unknown) << variant;
            const auto composed = PictureAt(cache, reloaded + 1);
            EXPECT_FALSE(composed.empty()) << variant;
            EXPECT_NE(composed, unknown) << variant;
        }
        EXPECT_TRUE(PictureAt(cache, kBuiltinCount + 1 + 2 * variants).empty());
    }
}

TEST(IconCache, KeepsATypesIconPerExtensionAndAFilesPerNameWhatEverTheCase) {
    const std::wstring one = TempFolder() + L"one.lncached", two = TempFolder() + L"TWO.LnCached";
    for (const std::wstring& file : {one, two})
        ASSERT_TRUE(::CopyFileW(BinPath(L"IconLib.dll").c_str(), file.c_str(), FALSE));
    const std::pair<HandlerKind, bool> cases[] = {  // handler, icons differ per file
        {HandlerKind::Wide, false}, {HandlerKind::PerInstance, true}, {HandlerKind::DontCache, true}};
    for (const auto& [kind, perFile] : cases) {
        SCOPED_TRACE(int(kind));
        ClassesRegistration reg;
        reg.Type(L"lncached", kCachedProgId);
        reg.IconHandler(kCachedProgId, kind);
        IconCache cache;
        const int first = cache.GetFileIconIndex(one.c_str()), second = cache.GetFileIconIndex(two.c_str());
        ASSERT_TRUE(first >= 0 && second >= 0);
        EXPECT_EQ(first == second, !perFile);
        const LONG queries = LastCall(kind)->locations;
        EXPECT_EQ(cache.GetFileIconIndex((TempFolder() + L"ONE.LNCACHED").c_str()), first);
        EXPECT_EQ(LastCall(kind)->locations, queries) << "asked again";
        EXPECT_EQ(CentreColour(ScopedHICON(cache.CopyIcon(first, SmallSize())).get()), kMagenta);
    }
    ::DeleteFileW(one.c_str());
    ::DeleteFileW(two.c_str());
}

int g_screenDepth = 0;
int WINAPI FakeDeviceCaps(HDC, int index) { return index == BITSPIXEL ? g_screenDepth : 0; }

// Below 8 bits (or none measured) the lists keep 16 colours: the fixture's colours do not survive.
TEST(IconCache, ListsTakeTheScreensColoursAndFillAGapWithTheSamePicture) {
    const ImportPatch caps("gdi32.dll", "GetDeviceCaps", reinterpret_cast<void*>(&FakeDeviceCaps));
    ASSERT_TRUE(caps.Installed());
    for (const auto& [depth, exact] : {std::pair{0, false}, std::pair{7, false}, std::pair{8, true}}) {
        g_screenDepth = depth;
        IconCache cache;
        for (const auto& [index, id] : {std::pair{2, 100}, {5, 205}}) {
            HICON small = nullptr;
            ::ExtractIconExW(BinPath(L"IconLib.dll").c_str(), -id, nullptr, &small, 1);
            ASSERT_TRUE(cache.SetIcon(index, ScopedHICON(small).get(), SmallSize()));
        }
        for (int index = 0; index < 7; ++index) {
            const long colour = CentreColour(ScopedHICON(cache.CopyIcon(index, SmallSize())).get());
            EXPECT_EQ(colour == (index < 3 ? kRed : kBlue), exact && index < 6) << depth << " " << index;
            EXPECT_EQ(colour == -1, index == 6) << depth << " " << index;
        }
    }
}

}  // namespace
