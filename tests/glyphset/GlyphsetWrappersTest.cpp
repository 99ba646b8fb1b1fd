// The module's wrappers find the library through the host's installation, keep each entry point
// they found for the process, and try again for as long as they found nothing.
#include <filesystem>
#include "GlyphsetTestSupport.h"
#include "icons/WorkflowIcons.h"

namespace {

using glyphset_test::BinFolder;

// Emptied first: a library that an earlier run loaded stays in its folder.
std::wstring FreshFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"lineage-glyphset-" + name + L"\\";
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder, ignored);
    return folder;
}

std::wstring LastCallOf(const std::wstring& library) {
    using LastCallFn = const wchar_t* (*)();
    const auto lastCall = reinterpret_cast<LastCallFn>(
        ::GetProcAddress(::GetModuleHandleW(library.c_str()), "LastGlyphsetCall"));
    return lastCall ? lastCall() : L"library not loaded";
}

TEST(GlyphsetWrappers, FindTheLibraryThroughTheInstallationAndKeepIt) {
    const std::wstring partial = FreshFolder(L"partial"), full = FreshFolder(L"full");
    const std::wstring fake = partial + L"Glyphset.dll";
    glyphset_test::LocationValue location(partial.c_str());
    EXPECT_EQ(LoadWfPngIcon(L"PNG_SAVE", 3), nullptr) << "nothing installed";
    EXPECT_EQ(LoadWfIconById(400, 0, 0), nullptr) << "nothing installed";
    EXPECT_EQ(LoadWfIconById(399, 0, 0), nullptr) << "nothing installed";

    ASSERT_TRUE(::CopyFileW((BinFolder() + L"fakeglyphset\\Glyphset.dll").c_str(), fake.c_str(), FALSE));
    EXPECT_EQ(LoadWfPngIcon(L"PNG_SAVE", 3), nullptr) << "the library lacks that entry point";
    EXPECT_EQ(::GetModuleHandleW(fake.c_str()), nullptr) << "and is let go again";
    const struct {
        int number;
        const wchar_t* call;
    } kCalls[] = {{400, L"png 400 32768 0 0"},
                  {950, L"png 950 32768 0 0"},
                  {399, L"icon 399 1 32768 20 24"},
                  {951, L"icon 951 1 32768 20 24"}};
    for (const auto& c : kCalls) {
        ScopedHICON icon(LoadWfIconById(c.number, 20, 24));
        EXPECT_TRUE(icon) << c.number;
        EXPECT_EQ(LastCallOf(fake), c.call);
    }

    location.Set(full.c_str());
    EXPECT_EQ(LoadWfPngIcon(L"PNG_SAVE", 3), nullptr) << "nothing installed there yet";
    ASSERT_TRUE(::CopyFileW((BinFolder() + L"Glyphset.dll").c_str(), (full + L"Glyphset.dll").c_str(), FALSE));
    ScopedHICON save(LoadWfPngIcon(L"PNG_SAVE", 3));
    EXPECT_TRUE(save) << "found on the next call";
    ScopedHICON kept(LoadWfPngIconById(401));
    EXPECT_EQ(LastCallOf(fake), L"png 401 32768 0 0") << "entry points found before are kept";
}

} // namespace
