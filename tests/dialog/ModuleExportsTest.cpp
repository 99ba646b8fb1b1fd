// What the module's export table offers a host: the entry point by its plain name and its
// copies of the DPI helper's inline accessors.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <string>
#include <vector>
#include "DialogSession.h"
#include "contracts/ZebSettings.h"

using namespace lineage_test;

namespace {

template <class Fn>
Fn Export(const char* name) {
    return reinterpret_cast<Fn>(::GetProcAddress(LineageModule(), name));
}

TEST(ModuleExports, TheEntryPointHasItsPlainName) {
    EXPECT_NE(::GetProcAddress(LineageModule(), "gvShowBranchDetails"), nullptr);
}

TEST(ModuleExports, DpiAccessorsReadTheHelpersValues) {
    using Getter = int (*)(const CDPIHelper*);
    const CDPIHelper* helper = CDPIHelper::get();
    ASSERT_NE(helper, nullptr);
    struct { const char* name; int expected; } getters[] = {
        {"_ZNK10CDPIHelper9getDPI_OSEv", helper->getDPI_OS()},
        {"_ZNK10CDPIHelper12getSystemDPIEv", helper->getDPI_OS()},
        {"_ZNK10CDPIHelper22getToolbarButtonSizeBFEv", helper->getToolbarButtonSizeBF()},
        {"_ZNK10CDPIHelper23getToolbarButtonSizeExpEv", helper->getToolbarButtonSizeExp()},
    };
    for (const auto& g : getters) {
        SCOPED_TRACE(g.name);
        auto fn = Export<Getter>(g.name);
        ASSERT_NE(fn, nullptr);
        EXPECT_EQ(fn(helper), g.expected);
    }
    EXPECT_EQ(helper->getDPI_OS(), 96) << "Wine's screen";
    EXPECT_EQ(helper->getToolbarButtonSizeBF(), 24);
}

TEST(ModuleExports, DpiAssignmentCopiesAllNineValues) {
    using Assign = void* (*)(void* self, const CDPIHelper* other);
    auto assign = Export<Assign>("_ZN10CDPIHelperaSERKS_");
    ASSERT_NE(assign, nullptr);
    int copy[9];
    std::memset(copy, 0xCD, sizeof(copy));
    EXPECT_EQ(assign(copy, CDPIHelper::get()), copy);
    EXPECT_EQ(std::memcmp(copy, CDPIHelper::get(), sizeof(copy)), 0);
}

TEST(ModuleResources, HoldTheManifestForCommonControlsSixAndAVersionBlock) {
    HMODULE module = LineageModule();
    HRSRC manifest = ::FindResourceW(module, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(24));
    ASSERT_TRUE(manifest);
    const char* text = static_cast<const char*>(::LockResource(::LoadResource(module, manifest)));
    const std::string xml(text, ::SizeofResource(module, manifest));
    EXPECT_NE(xml.find("level=\"asInvoker\" uiAccess=\"false\""), std::string::npos);
    EXPECT_NE(xml.find(">true</dpiAware>"), std::string::npos);
    EXPECT_NE(xml.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);

    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(module, path, MAX_PATH);
    DWORD ignored = 0;
    std::vector<char> version(::GetFileVersionInfoSizeW(path, &ignored));
    ASSERT_FALSE(version.empty());
    ASSERT_TRUE(::GetFileVersionInfoW(path, 0, static_cast<DWORD>(version.size()), version.data()));
    wchar_t* name = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(version.data(), L"\\StringFileInfo\\040904b0\\OriginalFilename",
                                 reinterpret_cast<void**>(&name), &length));
    EXPECT_STREQ(name, L"Lineage.dll");
}

TEST(ModuleResources, TheDialogTemplateIsFoundWhateverResourcesTheHostHasCurrent) {
    // The host's own module has no template 4000; the call finds the module's own.
    ASSERT_EQ(::FindResourceW(nullptr, MAKEINTRESOURCEW(4000), MAKEINTRESOURCEW(5)), nullptr);
    DialogSession::Args args;
    for (int call = 0; call < 2; ++call) {
        DialogSession session(args);
        ASSERT_TRUE(session.WaitForDialog()) << "call " << call;
        session.PressClose();
        EXPECT_TRUE(session.WaitForReturn());
    }
}

} // namespace
