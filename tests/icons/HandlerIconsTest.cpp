// In-process icon handlers: what each kind of handler answers, and how the walk goes on.
#include <gtest/gtest.h>
#include <shlobj.h>
#include "FixtureHandlers.h"
#include "IconTestSupport.h"
#include "icons/GetExtensionIcons.h"
#include "icons/GetFileIcons.h"
#include "icons/GetHandlerIcons.h"

using namespace icon_test;
using namespace icon_fixtures;

namespace {

constexpr wchar_t kExt[] = L"lnhandled";
constexpr wchar_t kProgId[] = L"LineageTest.Handled";

std::wstring ServerPath(HandlerKind kind) { return BinPath(Handler(kind).dll); }

const HandlerCall* LastCall(HandlerKind kind) {
    const std::wstring dll = Handler(kind).dll;
    auto lastCall = reinterpret_cast<FixtureLastCallFn>(
        ::GetProcAddress(::GetModuleHandleW(dll.substr(dll.rfind(L'\\') + 1).c_str()), "FixtureLastCall"));
    return lastCall ? lastCall() : nullptr;
}

// A file for the handlers to look at; the handlers never read it.
struct HandledFile {
    PrivateTempFolder temp{L"handled"};
    std::wstring path = temp.Path() + L"drawing." + kExt;
    HandledFile() { WriteFileText(path, "handled"); }
};

TEST(HandlerAnswers, GiveTheResultFlagsAndIconsOfTheirKind) {
    struct Case { HandlerKind kind; IconLookupResult result; DWORD flags; long colour; };  // colour -1: no icons
    const Case cases[] = {
        {HandlerKind::Wide, IconLookupResult::ForType, 0, kMagenta},
        {HandlerKind::AnsiOnly, IconLookupResult::ForType, 0, kMagenta},
        {HandlerKind::LoadFails, IconLookupResult::None, GIL_DONTCACHE, -1},
        {HandlerKind::LocationFails, IconLookupResult::None, GIL_DONTCACHE, -1},
        {HandlerKind::DontCache, IconLookupResult::PerFile, GIL_DONTCACHE, kMagenta},
        {HandlerKind::PerInstance, IconLookupResult::PerFile, GIL_PERINSTANCE, kMagenta},
        {HandlerKind::NotFileName, IconLookupResult::ForType, GIL_NOTFILENAME, kDrawn},
        {HandlerKind::EmptyLocation, IconLookupResult::None, 0, -1},
        {HandlerKind::Sideload, IconLookupResult::ForType, 0, kOrange}};  // loaded by hand
    HandledFile file;
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(Handler(c.kind).dll));
        ClassesRegistration reg;
        reg.Server(Handler(c.kind).clsid, ServerPath(c.kind));
        const std::wstring cwd = CurrentDirectory();
        const IconLookup icons = GetHandlerIcons(Handler(c.kind).clsid, file.path.c_str(), WantedIcons::Both);
        EXPECT_EQ(icons.result, c.result);
        EXPECT_EQ(icons.flags, c.flags);
        EXPECT_EQ(CentreColour(icons.small.get()), c.colour);
        EXPECT_EQ(CentreColour(icons.large.get()), c.colour);
        if (c.colour >= 0) {
            EXPECT_EQ(IconWidth(icons.small.get()), 16);
            EXPECT_EQ(IconWidth(icons.large.get()), 32);
        }
        EXPECT_EQ(CurrentDirectory(), cwd);
    }
}

TEST(HandlerCall, LoadsTheFileAsksForTheShellsLocationAndSizesAndReleasesTheHandler) {
    ClassesRegistration reg;
    HandledFile file;
    for (HandlerKind kind : {HandlerKind::Wide, HandlerKind::NotFileName}) {
        reg.Server(Handler(kind).clsid, ServerPath(kind));
        ASSERT_EQ(GetHandlerIcons(Handler(kind).clsid, file.path.c_str(), WantedIcons::Both).result,
                  IconLookupResult::ForType);
        const HandlerCall* call = LastCall(kind);
        ASSERT_NE(call, nullptr);
        EXPECT_EQ(std::wstring(call->loadedPath), file.path);
        EXPECT_EQ(call->loadMode, 0u);
        EXPECT_EQ(call->locationFlagsIn, UINT(GIL_FORSHELL));
        EXPECT_EQ(call->objects, 0) << "the handler was not released";
        if (kind == HandlerKind::NotFileName) {
            EXPECT_EQ(call->extractSizes, 0x100020u) << "a drawing handler is asked for 32 and 16 pixels";
        }
    }
    // For a missing file the handler's verdict counts, without icons.
    reg.Server(Handler(HandlerKind::DontCache).clsid, ServerPath(HandlerKind::DontCache));
    const IconLookup icons = GetHandlerIcons(Handler(HandlerKind::DontCache).clsid,
                                             (file.temp.Path() + L"missing." + kExt).c_str(), WantedIcons::Both);
    EXPECT_EQ(icons.result, IconLookupResult::PerFile);
    EXPECT_EQ(icons.flags, DWORD(GIL_DONTCACHE));
    EXPECT_FALSE(icons.small || icons.large);
}

TEST(HandlerCreation, TheHandLoadedServerCannotBeMadeByComAndIsFreedWithTheDirectoryRestored) {
    ClassesRegistration reg;
    const HandlerFixture& sideload = Handler(HandlerKind::Sideload);
    reg.Server(sideload.clsid, ServerPath(HandlerKind::Sideload));
    CLSID clsid = {};
    ASSERT_EQ(::CLSIDFromString(sideload.clsid, &clsid), S_OK);
    IUnknown* object = nullptr;
    EXPECT_FALSE(SUCCEEDED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                              reinterpret_cast<void**>(&object))));
    if (object)
        object->Release();
    HandledFile file;
    const std::wstring cwd = CurrentDirectory();
    for (int i = 0; i < 3; ++i) {
        const IconLookup icons = GetHandlerIcons(sideload.clsid, file.path.c_str(), WantedIcons::Both);
        ASSERT_EQ(icons.result, IconLookupResult::ForType);
        EXPECT_EQ(CentreColour(icons.small.get()), kOrange);
    }
    EXPECT_EQ(CurrentDirectory(), cwd);
    EXPECT_EQ(::GetModuleHandleW(L"IconHandlerSideload.dll"), nullptr);
    EXPECT_EQ(::GetModuleHandleW(kSideloadHelper), nullptr);
}

TEST(HandlerCreation, AnUncreatableHandlerFindsNothingAndLeavesTheFlagsAndDirectoryAlone) {
    const std::pair<const wchar_t*, std::wstring> cases[] = {  // class id, server (empty: not registered)
        {L"IconHandlerWide", L""}, {L"5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F10", L""},
        {L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F11}", L""},
        {L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F12}", BinPath(L"sideload\\NoSuchServer.dll")},
        {L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F13}", BinPath(L"IconLib.dll")},  // no class objects
        {L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F14}", BinPath(L"IconHandlerWide.dll")}};  // another class's
    HandledFile file;
    for (const auto& [clsid, server] : cases) {
        SCOPED_TRACE(Utf8(clsid + (L" " + server)));
        ClassesRegistration reg;
        if (!server.empty())
            reg.Server(clsid, server);
        const std::wstring cwd = CurrentDirectory();
        const IconLookup icons = GetHandlerIcons(clsid, file.path.c_str(), WantedIcons::Both);
        EXPECT_EQ(icons.result, IconLookupResult::None);
        EXPECT_EQ(icons.flags, 0u);
        EXPECT_FALSE(icons.small || icons.large);
        EXPECT_EQ(CurrentDirectory(), cwd);
    }
}

// The walk with a handler registered for the type.
class HandledType : public ::testing::Test {
protected:
    void Register(HandlerKind kind, const std::wstring& extension = kExt) {
        m_reg.Type(extension, kProgId, L"Handled Document");
        m_reg.IconHandler(kProgId, Handler(kind).clsid, ServerPath(kind));
        m_reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", BinPath(L"IconLib.dll") + L",-205");
    }
    ClassesRegistration m_reg;
    HandledFile m_file;
};

TEST_F(HandledType, TheHandlerDecidesForAFileAndDefaultIconForTheTypeOrAFailingHandler) {
    struct Case { HandlerKind kind; bool withPath; IconLookupResult result; long colour; DWORD flags; };
    const Case cases[] = {
        {HandlerKind::Wide, true, IconLookupResult::ForType, kMagenta, 0},
        {HandlerKind::Wide, false, IconLookupResult::ForType, kBlue, 0},  // without a path it is not asked
        {HandlerKind::LoadFails, true, IconLookupResult::ForType, kBlue, GIL_DONTCACHE},
        {HandlerKind::LocationFails, true, IconLookupResult::ForType, kBlue, GIL_DONTCACHE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << Utf8(Handler(c.kind).dll) << (c.withPath ? " with path" : ""));
        Register(c.kind);
        const IconLookup icons = GetExtensionIcons(kExt, WantedIcons::Both, c.withPath ? m_file.path.c_str() : nullptr);
        EXPECT_EQ(icons.result, c.result);
        EXPECT_EQ(CentreColour(icons.small.get()), c.colour);
        EXPECT_EQ(CentreColour(icons.large.get()), c.colour);
        EXPECT_EQ(icons.flags, c.flags);
    }
    Register(HandlerKind::DontCache);
    const IconLookup perFile = GetFileIcons(m_file.path.c_str());
    EXPECT_EQ(perFile.result, IconLookupResult::PerFile);
    EXPECT_EQ(perFile.flags, DWORD(GIL_DONTCACHE));
    EXPECT_EQ(CentreColour(perFile.large.get()), kMagenta);
}

TEST_F(HandledType, AHandlerWithoutIconsForAMissingFileLeavesItsVerdictPending) {
    Register(HandlerKind::PerInstance);
    // The ProgID's own icon is gone; only the class's remains, and then the handler's verdict counts.
    m_reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", L"");
    const wchar_t classId[] = L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F20}";
    m_reg.SetDefault(std::wstring(kProgId) + L"\\CLSID", classId);
    m_reg.SetDefault(std::wstring(L"CLSID\\") + classId + L"\\DefaultIcon", BinPath(L"IconLib.dll") + L",-101");
    const IconLookup icons = GetExtensionIcons(kExt, WantedIcons::Both, (m_file.temp.Path() + L"missing." + kExt).c_str());
    EXPECT_EQ(icons.result, IconLookupResult::PerFile);
    EXPECT_EQ(CentreColour(icons.small.get()), kGreen);
    EXPECT_EQ(icons.flags, DWORD(GIL_PERINSTANCE));
}

TEST_F(HandledType, TheHostsOwnFormatsNeverLoadTheirHandlerAndTakeDefaultIcon) {
    for (const wchar_t* extension : {L"bfprt", L"prt", L"bfasm", L"asm", L"bfdrw", L"drw", L"mat"}) {
        SCOPED_TRACE(Utf8(extension));
        Register(HandlerKind::Tripwire, extension);
        const std::wstring path = m_file.temp.Path() + L"drawing." + extension;
        ASSERT_TRUE(WriteFileText(path, "host document"));
        const IconLookup icons = GetFileIcons(path.c_str());
        EXPECT_EQ(icons.result, IconLookupResult::ForType);
        EXPECT_EQ(CentreColour(icons.small.get()), kBlue);
        EXPECT_EQ(icons.flags, 0u);
        EXPECT_EQ(::GetModuleHandleW(L"IconHandlerTripwire.dll"), nullptr);
    }
}

}  // namespace
