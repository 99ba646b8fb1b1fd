#pragma once
// The host's installation registered as this program's folder (where the icon library is built) for a whole
// run: tests see what an installed host sees, whatever an earlier run left in the prefix.
#include <gtest/gtest.h>
#include <optional>
#include "../glyphset/GlyphsetTestSupport.h"
#include "ChildProcess.h"

class HostInstallation : public ::testing::Environment {
public:
    void SetUp() override {
        const std::wstring folder = FolderOf(ModulePath(nullptr));
        if (!lineage_test::IsTestChild())  // a child runs with the registry its parent set up
            m_location.emplace(folder.substr(0, folder.size() - 1).c_str());
    }
    void TearDown() override { m_location.reset(); }

private:
    std::optional<glyphset_test::LocationValue> m_location;
};
