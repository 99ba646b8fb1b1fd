// In-process icon handlers: what each kind of handler answers, and how the walk goes on.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <wrl/client.h>

#include "FixtureHandlers.h"
#include "IconTestSupport.h"
#include "icons/GetExtensionIcons.h"
#include "icons/GetFileIcons.h"
#include "icons/GetHandlerIcons.h"
#include "icons/IconLookup.h"

using namespace icon_test;
using namespace icon_fixtures;

namespace {

constexpr wchar_t kExt[] = L"lnhandled";
constexpr wchar_t kProgId[] = L"LineageTest.Handled";

std::wstring ServerPath(HandlerKind kind) { return BinPath(Handler(kind).dll); }

const HandlerCall* LastCall(HandlerKind kind) {
    std::wstring name = Handler(kind).dll;
    name = name.substr(name.rfind(L'\\') + 1);
    HMODULE server = ::GetModuleHandleW(name.c_str());
    if (!server) return nullptr;
    auto lastCall = reinterpret_cast<FixtureLastCallFn>(::GetProcAddress(server, "FixtureLastCall"));
    return lastCall ? lastCall() : nullptr;
}

// A file for the handlers to look at; the handlers never read it.
class HandledFile {
public:
    HandledFile() : m_temp(L"handled") {
        m_path = m_temp.Path() + L"drawing." + kExt;
        WriteFileText(m_path, "handled");
    }
    const std::wstring& Path() const { return m_path; }

private:
    PrivateTempFolder m_temp;
    std::wstring m_path;
};

struct HandlerCase {
    const char* name;
    HandlerKind kind;
    IconLookupResult result;
    DWORD flags;
    long colour;  // -1: no icons
};

std::ostream& operator<<(std::ostream& os, const HandlerCase& c) { return os << c.name; }

class HandlerAnswers : public ::testing::TestWithParam<HandlerCase> {
protected:
    void SetUp() override {
        const HandlerFixture& fixture = Handler(GetParam().kind);
        m_reg.Server(fixture.clsid, ServerPath(fixture.kind));
    }
    ClassesRegistration m_reg;
    HandledFile m_file;
};

TEST_P(HandlerAnswers, WithTheResultFlagsAndIconsOfItsKind) {
    const HandlerCase& c = GetParam();
    const std::wstring cwd = CurrentDirectory();
    const IconLookup icons = GetHandlerIcons(Handler(c.kind).clsid, m_file.Path().c_str(), WantedIcons::Both);
    EXPECT_EQ(icons.result, c.result);
    EXPECT_EQ(icons.flags, c.flags);
    if (c.colour < 0) {
        EXPECT_EQ(icons.small.get(), nullptr);
        EXPECT_EQ(icons.large.get(), nullptr);
    } else {
        ASSERT_NE(icons.small.get(), nullptr);
        ASSERT_NE(icons.large.get(), nullptr);
        EXPECT_EQ(CentreColour(icons.small.get()), c.colour);
        EXPECT_EQ(CentreColour(icons.large.get()), c.colour);
        EXPECT_EQ(IconWidth(icons.small.get()), 16);
        EXPECT_EQ(IconWidth(icons.large.get()), 32);
    }
    EXPECT_EQ(CurrentDirectory(), cwd);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, HandlerAnswers,
    ::testing::Values(
        HandlerCase{"WideInterface", HandlerKind::Wide, IconLookupResult::ForType, 0, kMagenta},
        HandlerCase{"AnsiInterfaceOnly", HandlerKind::AnsiOnly, IconLookupResult::ForType, 0, kMagenta},
        HandlerCase{"LoadFails", HandlerKind::LoadFails, IconLookupResult::None, GIL_DONTCACHE, -1},
        HandlerCase{"LocationFails", HandlerKind::LocationFails, IconLookupResult::None, GIL_DONTCACHE, -1},
        HandlerCase{"DoNotCache", HandlerKind::DontCache, IconLookupResult::PerFile, GIL_DONTCACHE, kMagenta},
        HandlerCase{"PerInstance", HandlerKind::PerInstance, IconLookupResult::PerFile, GIL_PERINSTANCE, kMagenta},
        HandlerCase{"NotAFileName", HandlerKind::NotFileName, IconLookupResult::ForType, GIL_NOTFILENAME, kDrawn},
        HandlerCase{"EmptyLocation", HandlerKind::EmptyLocation, IconLookupResult::None, 0, -1},
        HandlerCase{"LoadedByHand", HandlerKind::Sideload, IconLookupResult::ForType, 0, kOrange}),
    [](const ::testing::TestParamInfo<HandlerCase>& info) { return std::string(info.param.name); });

TEST(HandlerCall, LoadsTheFileAndAsksForTheShellsLocation) {
    ClassesRegistration reg;
    reg.Server(Handler(HandlerKind::Wide).clsid, ServerPath(HandlerKind::Wide));
    HandledFile file;
    const IconLookup icons = GetHandlerIcons(Handler(HandlerKind::Wide).clsid, file.Path().c_str(), WantedIcons::Both);
    ASSERT_EQ(icons.result, IconLookupResult::ForType);
    const HandlerCall* call = LastCall(HandlerKind::Wide);
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(std::wstring(call->loadedPath), file.Path());
    EXPECT_EQ(call->loadMode, 0u);
    EXPECT_EQ(call->locationFlagsIn, static_cast<UINT>(GIL_FORSHELL));
    EXPECT_EQ(call->objects, 0) << "the handler was not released";
}

TEST(HandlerCall, ADrawingHandlerIsAskedForThirtyTwoAndSixteenPixels) {
    ClassesRegistration reg;
    reg.Server(Handler(HandlerKind::NotFileName).clsid, ServerPath(HandlerKind::NotFileName));
    HandledFile file;
    const IconLookup icons = GetHandlerIcons(Handler(HandlerKind::NotFileName).clsid, file.Path().c_str(), WantedIcons::Both);
    ASSERT_EQ(icons.result, IconLookupResult::ForType);
    const HandlerCall* call = LastCall(HandlerKind::NotFileName);
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->extractSizes, 0x100020u);
}

TEST(HandlerCall, AMissingFileGetsTheHandlersVerdictButNoIcons) {
    ClassesRegistration reg;
    reg.Server(Handler(HandlerKind::DontCache).clsid, ServerPath(HandlerKind::DontCache));
    PrivateTempFolder temp(L"nofile");
    const std::wstring missing = temp.Path() + L"missing." + kExt;
    const IconLookup icons = GetHandlerIcons(Handler(HandlerKind::DontCache).clsid, missing.c_str(), WantedIcons::Both);
    EXPECT_EQ(icons.result, IconLookupResult::PerFile);
    EXPECT_EQ(icons.flags, static_cast<DWORD>(GIL_DONTCACHE));
    EXPECT_EQ(icons.small.get(), nullptr);
    EXPECT_EQ(icons.large.get(), nullptr);
}

TEST(HandlerCreation, TheHandByHandServerCannotBeMadeByCom) {
    ClassesRegistration reg;
    const HandlerFixture& sideload = Handler(HandlerKind::Sideload);
    reg.Server(sideload.clsid, ServerPath(HandlerKind::Sideload));
    CLSID clsid = {};
    ASSERT_EQ(::CLSIDFromString(sideload.clsid, &clsid), S_OK);
    Microsoft::WRL::ComPtr<IUnknown> object;
    EXPECT_FALSE(SUCCEEDED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                              reinterpret_cast<void**>(object.GetAddressOf()))));
}

TEST(HandlerCreation, TheHandLoadedServerIsFreedAndTheDirectoryRestored) {
    ClassesRegistration reg;
    const HandlerFixture& sideload = Handler(HandlerKind::Sideload);
    reg.Server(sideload.clsid, ServerPath(HandlerKind::Sideload));
    HandledFile file;
    const std::wstring cwd = CurrentDirectory();
    for (int i = 0; i < 3; ++i) {
        const IconLookup icons = GetHandlerIcons(sideload.clsid, file.Path().c_str(), WantedIcons::Both);
        ASSERT_EQ(icons.result, IconLookupResult::ForType);
        EXPECT_EQ(CentreColour(icons.small.get()), kOrange);
    }
    EXPECT_EQ(CurrentDirectory(), cwd);
    EXPECT_EQ(::GetModuleHandleW(L"IconHandlerSideload.dll"), nullptr);
    EXPECT_EQ(::GetModuleHandleW(kSideloadHelper), nullptr);
}

struct UncreatableCase {
    const char* name;
    const wchar_t* clsid;
    std::wstring server;  // empty: no registration at all
};

std::ostream& operator<<(std::ostream& os, const UncreatableCase& c) { return os << c.name; }

class UncreatableHandler : public ::testing::TestWithParam<UncreatableCase> {};

TEST_P(UncreatableHandler, FindsNothingAndLeavesTheFlagsAndDirectoryAlone) {
    const UncreatableCase& c = GetParam();
    ClassesRegistration reg;
    if (!c.server.empty())
        reg.Server(c.clsid, c.server);
    HandledFile file;
    const std::wstring cwd = CurrentDirectory();
    const IconLookup icons = GetHandlerIcons(c.clsid, file.Path().c_str(), WantedIcons::Both);
    EXPECT_EQ(icons.result, IconLookupResult::None);
    EXPECT_EQ(icons.flags, 0u);
    EXPECT_EQ(icons.small.get(), nullptr);
    EXPECT_EQ(icons.large.get(), nullptr);
    EXPECT_EQ(CurrentDirectory(), cwd);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UncreatableHandler,
    ::testing::Values(
        UncreatableCase{"NotAClassId", L"IconHandlerWide", L""},
        UncreatableCase{"ClassIdWithoutBraces", L"5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F10", L""},
        UncreatableCase{"UnregisteredClass", L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F11}", L""},
        UncreatableCase{"ServerFileMissing", L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F12}",
                        BinPath(L"sideload\\NoSuchServer.dll")},
        UncreatableCase{"LibraryWithoutClassObjects", L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F13}",
                        BinPath(L"IconLib.dll")},
        UncreatableCase{"ServerOfAnotherClass", L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F14}",
                        BinPath(L"IconHandlerWide.dll")}),
    [](const ::testing::TestParamInfo<UncreatableCase>& info) { return std::string(info.param.name); });

// The walk with a handler registered for the type.
class HandledType : public ::testing::Test {
protected:
    void Register(HandlerKind kind, const wchar_t* extension = kExt) {
        m_reg.Type(extension, kProgId, L"Handled Document");
        m_reg.IconHandler(kProgId, Handler(kind).clsid, ServerPath(kind));
        m_reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", BinPath(L"IconLib.dll") + L",-205");
    }
    ClassesRegistration m_reg;
    HandledFile m_file;
};

TEST_F(HandledType, TheHandlersIconsWinOverDefaultIcon) {
    Register(HandlerKind::Wide);
    const IconLookup icons = GetExtensionIcons(kExt, WantedIcons::Both, m_file.Path().c_str());
    EXPECT_EQ(icons.result, IconLookupResult::ForType);
    EXPECT_EQ(CentreColour(icons.small.get()), kMagenta);
    EXPECT_EQ(icons.flags, 0u);
}

TEST_F(HandledType, WithoutAPathTheHandlerIsNotAsked) {
    Register(HandlerKind::Wide);
    const IconLookup icons = GetExtensionIcons(kExt, WantedIcons::Both);
    EXPECT_EQ(icons.result, IconLookupResult::ForType);
    EXPECT_EQ(CentreColour(icons.small.get()), kBlue);
}

TEST_F(HandledType, APerFileHandlerMakesThePerFileResult) {
    Register(HandlerKind::DontCache);
    const IconLookup icons = GetFileIcons(m_file.Path().c_str());
    EXPECT_EQ(icons.result, IconLookupResult::PerFile);
    EXPECT_EQ(icons.flags, static_cast<DWORD>(GIL_DONTCACHE));
    EXPECT_EQ(CentreColour(icons.large.get()), kMagenta);
}

struct FailingCase {
    const char* name;
    HandlerKind kind;
};
std::ostream& operator<<(std::ostream& os, const FailingCase& c) { return os << c.name; }
class FailingHandler : public HandledType, public ::testing::WithParamInterface<FailingCase> {};

TEST_P(FailingHandler, LeavesTheTypeToDefaultIconMarkedUncacheable) {
    Register(GetParam().kind);
    const IconLookup icons = GetExtensionIcons(kExt, WantedIcons::Both, m_file.Path().c_str());
    EXPECT_EQ(icons.result, IconLookupResult::ForType);
    EXPECT_EQ(CentreColour(icons.small.get()), kBlue);
    EXPECT_EQ(CentreColour(icons.large.get()), kBlue);
    EXPECT_EQ(icons.flags, static_cast<DWORD>(GIL_DONTCACHE));
}

INSTANTIATE_TEST_SUITE_P(Kinds, FailingHandler,
                         ::testing::Values(FailingCase{"LoadFails", HandlerKind::LoadFails},
                                           FailingCase{"LocationFails", HandlerKind::LocationFails}),
                         [](const ::testing::TestParamInfo<FailingCase>& info) { return std::string(info.param.name); });

TEST_F(HandledType, AHandlerWithoutIconsForAMissingFileLeavesItsVerdictPending) {
    Register(HandlerKind::PerInstance);
    // The ProgID's own icon is gone; only the class's remains, and then the handler's verdict counts.
    m_reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", L"");
    const wchar_t classId[] = L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F20}";
    m_reg.SetDefault(std::wstring(kProgId) + L"\\CLSID", classId);
    m_reg.SetDefault(std::wstring(L"CLSID\\") + classId + L"\\DefaultIcon", BinPath(L"IconLib.dll") + L",-101");
    PrivateTempFolder temp(L"pending");
    const std::wstring missing = temp.Path() + L"missing." + kExt;
    const IconLookup icons = GetExtensionIcons(kExt, WantedIcons::Both, missing.c_str());
    EXPECT_EQ(icons.result, IconLookupResult::PerFile);
    EXPECT_EQ(CentreColour(icons.small.get()), kGreen);
    EXPECT_EQ(icons.flags, static_cast<DWORD>(GIL_PERINSTANCE));
}

class HostFormat : public HandledType, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(HostFormat, NeverLoadsItsHandlerAndTakesDefaultIcon) {
    const std::wstring extension = GetParam();
    Register(HandlerKind::Tripwire, extension.c_str());
    const std::wstring path = m_file.Path().substr(0, m_file.Path().rfind(L'.') + 1) + extension;
    ASSERT_TRUE(WriteFileText(path, "host document"));
    const IconLookup icons = GetFileIcons(path.c_str());
    EXPECT_EQ(icons.result, IconLookupResult::ForType);
    EXPECT_EQ(CentreColour(icons.small.get()), kBlue);
    EXPECT_EQ(icons.flags, 0u);
    EXPECT_EQ(::GetModuleHandleW(L"IconHandlerTripwire.dll"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Formats, HostFormat,
                         ::testing::Values(L"bfprt", L"prt", L"bfasm", L"asm", L"bfdrw", L"drw", L"mat"),
                         [](const ::testing::TestParamInfo<const wchar_t*>& info) {
                             std::wstring w = info.param;
                             return std::string(w.begin(), w.end());
                         });

}  // namespace
