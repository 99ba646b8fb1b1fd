// The wrappers keep each entry point they found, and try again for as long as they found nothing.
#include <filesystem>
#include "../host/HostTestSupport.h"
#include "GlyphsetTestSupport.h"
#include "icons/WorkflowIcons.h"

using namespace glyphset_test;

TEST(GlyphsetWrappers, FindTheLibraryThroughTheInstallationAndKeepIt) {
    // A registered installation stays; with none the host registers its own folder.
    for (const auto& [folder, path] : {std::pair{L"C:\\Lx", L"C:\\Lx\\Glyphset.dll"},
                                       {L"C:\\Lx\\", L"C:\\Lx\\Glyphset.dll"}, {nullptr, L"Glyphset.dll"}}) {
        LocationValue location(folder);
        EXPECT_EQ(GetGlyphsetPath(), path) << (folder ? folder : L"no value");
        EXPECT_EQ(host_test::RunProgram(L"\"" + BinFolder() + L"vaulthost.exe\"").exitCode, 2u) << "usage";
        EXPECT_EQ(GetGlyphsetPath(), folder ? path : BinFolder() + L"Glyphset.dll");
    }
    const std::wstring temp = std::filesystem::temp_directory_path().wstring();
    const std::wstring partial = temp + L"lineage-glyphset-partial\\", full = temp + L"lineage-glyphset-full\\";
    for (const std::wstring& folder : {partial, full}) {  // what an earlier run left
        ::CreateDirectoryW(folder.c_str(), nullptr);
        ::DeleteFileW((folder + L"Glyphset.dll").c_str());
    }
    LocationValue location(partial.c_str());
    EXPECT_FALSE(LoadWfPngIcon(L"PNG_SAVE", 3) || LoadWfIconById(400, 0, 0)) << "nothing installed";
    ASSERT_TRUE(::CopyFileW((BinFolder() + L"fakeglyphset\\Glyphset.dll").c_str(), (partial + L"Glyphset.dll").c_str(),
                            FALSE));
    EXPECT_EQ(LoadWfPngIcon(L"PNG_SAVE", 3), nullptr) << "the library lacks that entry point";
    EXPECT_EQ(::GetModuleHandleW((partial + L"Glyphset.dll").c_str()), nullptr) << "and is let go again";
    const auto lastCall = [&] {
        const auto call = reinterpret_cast<const wchar_t* (*)()>(
            ::GetProcAddress(::GetModuleHandleW((partial + L"Glyphset.dll").c_str()), "LastGlyphsetCall"));
        return std::wstring(call ? call() : L"library not loaded");
    };
    for (const auto& [number, call] : {std::pair{400, L"png 400 32768 0 0"}, {950, L"png 950 32768 0 0"},
                                       {399, L"icon 399 1 32768 20 24"}, {951, L"icon 951 1 32768 20 24"}}) {
        EXPECT_TRUE(ScopedHICON(LoadWfIconById(number, 20, 24))) << number;
        EXPECT_EQ(lastCall(), call);
    }
    location.Set(full.c_str());
    EXPECT_EQ(LoadWfPngIcon(L"PNG_SAVE", 3), nullptr) << "nothing installed there yet";
    ASSERT_TRUE(::CopyFileW((BinFolder() + L"Glyphset.dll").c_str(), (full + L"Glyphset.dll").c_str(), FALSE));
    EXPECT_TRUE(ScopedHICON(LoadWfPngIcon(L"PNG_SAVE", 3))) << "found on the next call";
    EXPECT_TRUE(ScopedHICON(LoadWfPngIconById(401)));
    EXPECT_EQ(lastCall(), L"png 401 32768 0 0") << "entry points found before are kept";
}
