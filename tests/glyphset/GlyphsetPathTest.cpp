// The library's path comes from the host's registered installation folder.
#include "GlyphsetTestSupport.h"
#include "icons/WorkflowIcons.h"

namespace {

using glyphset_test::LocationValue;

TEST(GlyphsetPath, IsTheInstallationFolderWithOneBackslashThenTheFileName) {
    const struct {
        const wchar_t* location;
        const wchar_t* path;
    } kCases[] = {{L"C:\\Ledgerix", L"C:\\Ledgerix\\Glyphset.dll"},
                  {L"C:\\Ledgerix\\", L"C:\\Ledgerix\\Glyphset.dll"},
                  {nullptr, L"Glyphset.dll"}};
    for (const auto& c : kCases) {
        LocationValue location(c.location);
        EXPECT_EQ(GetGlyphsetPath(), c.path) << (c.location ? c.location : L"no value");
    }
}

TEST(GlyphsetPath, TheHostRegistersItsOwnFolderWhenNoInstallationIs) {
    LocationValue none(nullptr);
    EXPECT_EQ(glyphset_test::RunProcess(L"\"" + glyphset_test::BinFolder() + L"vaulthost.exe\""), 2u) << "usage";
    EXPECT_EQ(GetGlyphsetPath(), glyphset_test::BinFolder() + L"Glyphset.dll");
    LocationValue elsewhere(L"C:\\Ledgerix");
    EXPECT_EQ(glyphset_test::RunProcess(L"\"" + glyphset_test::BinFolder() + L"vaulthost.exe\""), 2u) << "usage";
    EXPECT_EQ(GetGlyphsetPath(), L"C:\\Ledgerix\\Glyphset.dll") << "a registered installation stays";
}

} // namespace
