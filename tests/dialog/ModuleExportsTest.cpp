// What the module's export table offers a host: the entry point by its plain name and its
// copies of the DPI helper's inline accessors.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
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

} // namespace
