// In-process icon handlers: what each kind answers, how it is called, and the ones that cannot be made.
#include <gtest/gtest.h>
#include <shlobj.h>
#include "IconTestSupport.h"
#include "icons/GetHandlerIcons.h"

using namespace icon_test;

namespace {

TEST(HandlerIcons, GiveTheResultFlagsAndIconsOfTheirKindAndReleaseTheHandler) {
    // Handlers are shown any existing file: they never read it.
    const std::wstring file = BinPath(L"IconLib.dll"), missing = TempFolder() + L"missing.lnhandled";
    const auto ForType = IconLookupResult::ForType, None = IconLookupResult::None, PerFile = IconLookupResult::PerFile;
    struct Case { HandlerKind kind; const std::wstring& path; IconLookupResult result; DWORD flags; long colour; };
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
        {HandlerKind::Sideload, file, ForType, 0, kOrange}};  // loaded by hand, in its folder, and freed again
    const std::wstring cwd = CurrentDirectory();
    const auto ask = [&](const Case& c) {
        SCOPED_TRACE(testing::Message() << "kind " << int(c.kind) << " " << c.path);
        ClassesRegistration reg;
        reg.Server(ClassIdText(c.kind), ServerPath(c.kind));
        const IconLookup icons = GetHandlerIcons(ClassIdText(c.kind).c_str(), c.path.c_str(), WantedIcons::Both);
        EXPECT_EQ(icons.result, c.result);
        EXPECT_EQ(icons.flags, c.flags);
        EXPECT_EQ(CentreColour(icons.small.get()), c.colour);
        EXPECT_EQ(CentreColour(icons.large.get()), c.colour);
        if (c.colour >= 0) {
            EXPECT_EQ(IconWidth(icons.small.get()), 16);
            EXPECT_EQ(IconWidth(icons.large.get()), 32);
        }
        EXPECT_EQ(CurrentDirectory(), cwd);
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
    };
    RunTwiceLeavingNothing([&] {
        for (const Case& c : cases)
            ask(c);
    });
}

TEST(HandlerIcons, AnUncreatableHandlerFindsNothingAndLeavesTheFlagsAndDirectoryAlone) {
    const std::pair<const wchar_t*, std::wstring> cases[] = {  // class id, server (empty: not registered)
        {L"IconHandlerWide", L""}, {L"5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F10", L""},
        {L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F11}", L""},
        {L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F12}", BinPath(L"sideload\\NoSuchServer.dll")},
        {L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F13}", BinPath(L"IconLib.dll")},        // no class objects
        {L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F14}", BinPath(L"IconHandlers.dll")}};  // another class's
    const std::wstring file = BinPath(L"IconLib.dll"), cwd = CurrentDirectory();
    for (const auto& [clsid, server] : cases) {
        SCOPED_TRACE(testing::Message() << clsid << " " << server);
        ClassesRegistration reg;
        if (!server.empty())
            reg.Server(clsid, server);
        const IconLookup icons = GetHandlerIcons(clsid, file.c_str(), WantedIcons::Both);
        EXPECT_EQ(icons.result, IconLookupResult::None);
        EXPECT_EQ(icons.flags, 0u);
        EXPECT_FALSE(icons.HasIcon());
        EXPECT_EQ(CurrentDirectory(), cwd);
    }
}

}  // namespace
