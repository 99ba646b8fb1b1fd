#pragma once
// The host's installation registered, for a whole test run, as this program's folder, where the
// build puts the icon library: tests then see what an installed host sees, whatever an earlier
// run left in the prefix.
#include <gtest/gtest.h>
#include <memory>
#include "../glyphset/GlyphsetTestSupport.h"
#include "ChildProcess.h"
#include "base/ModulePath.h"

class HostInstallation : public ::testing::Environment {
public:
    void SetUp() override {
        if (lineage_test::IsTestChild())
            return;  // a child runs with the registry its parent set up for it
        std::wstring folder = FolderOf(ModulePath(nullptr));
        folder.pop_back();
        m_location = std::make_unique<glyphset_test::LocationValue>(folder.c_str());
    }
    void TearDown() override { m_location.reset(); }

private:
    std::unique_ptr<glyphset_test::LocationValue> m_location;
};
