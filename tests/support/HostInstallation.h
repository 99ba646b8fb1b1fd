#pragma once
// The host's installation registered as this program's folder (where the icon library is built) for a whole
// run: tests see what an installed host sees, whatever an earlier run left in the prefix.
#include <gtest/gtest.h>
#include <memory>
#include "../glyphset/GlyphsetTestSupport.h"
#include "ChildProcess.h"
#include "base/ModulePath.h"

class HostInstallation : public ::testing::Environment {
public:
    void SetUp() override {
        std::wstring folder = FolderOf(ModulePath(nullptr));
        folder.pop_back();
        if (!lineage_test::IsTestChild())  // a child runs with the registry its parent set up
            m_location = std::make_unique<glyphset_test::LocationValue>(folder.c_str());
    }
    void TearDown() override { m_location.reset(); }

private:
    std::unique_ptr<glyphset_test::LocationValue> m_location;
};
