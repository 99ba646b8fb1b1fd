// Wine's MsiInstallMissingComponentW answers success and does nothing, so the loader gets it as Windows
// answers it, made of installer calls Wine implements; all else is the real installer with the host's packages.
#include "../host/HostTestSupport.h"
#include "GlyphsetTestSupport.h"
#include "contracts/GlyphsetInstaller.h"
#include "icons/WorkflowIcons.h"

namespace {

using host_test::RunProgram;

std::wstring g_calls;
UINT Logged(UINT result, const std::wstring& call) {
    g_calls += call + L" -> " + std::to_wstring(result) + L"\n";
    return result;
}

// An unknown product is refused; for an installed one the missing files come back.
UINT WINAPI InstallMissingComponent(LPCWSTR product, LPCWSTR component, INSTALLSTATE state) {
    return Logged(::MsiQueryProductStateW(product) == INSTALLSTATE_UNKNOWN
                      ? ERROR_UNKNOWN_PRODUCT
                      : ::MsiReinstallProductW(product, REINSTALLMODE_FILEMISSING),
                  std::wstring(L"install ") + product + L" " + component + L" " + std::to_wstring(state));
}

UINT WINAPI EnumRelatedProducts(LPCWSTR upgradeCode, DWORD reserved, DWORD index, LPWSTR product) {
    return Logged(::MsiEnumRelatedProductsW(upgradeCode, reserved, index, product),
                  std::wstring(L"related ") + upgradeCode + L" " + std::to_wstring(index));
}

// Runs in a copy of this executable placed in the host's installation folder.
TEST(InstallerRepair, DISABLED_InTheInstallationFolder) {
    ::MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    ScopedHMODULE library;
    EXPECT_TRUE(LoadGlyphsetModule(library, {InstallMissingComponent, EnumRelatedProducts}));
    EXPECT_EQ(ModulePath(library.get()), FolderOf(ModulePath(nullptr)) + L"Glyphset.dll");
    EXPECT_EQ(g_calls, _wgetenv(L"LINEAGE_EXPECTED_INSTALLER_CALLS"));
}

TEST(InstallerRepair, PutsTheLibraryBackBesideTheModule) {
    const std::wstring install = L"install " GLYPHSET_PRODUCT_CODE L" " GLYPHSET_COMPONENT_CODE L" 5 -> ";
    const std::pair<const wchar_t*, std::wstring> kPackages[] = {
        {L"Glyphset.msi", install + L"0\n"},
        {L"GlyphsetLater.msi",  // a later release: another product code, found by the second upgrade code
         install + L"1605\nrelated " GLYPHSET_UPGRADE_CODE_1 L" 0 -> 259\nrelated " GLYPHSET_UPGRADE_CODE_2
                   L" 0 -> 0\ninstall " GLYPHSET_LATER_PRODUCT_CODE L" " GLYPHSET_COMPONENT_CODE L" 5 -> 0\n"}};
    const std::wstring installed = _wgetenv(L"ProgramFiles") + std::wstring(L"\\Brightfold\\Ledgerix Enterprise\\");
    struct Uninstall {
        std::wstring package;
        ~Uninstall() { RunProgram(L"msiexec /x " + package); }
    };
    for (const auto& [file, calls] : kPackages) {
        const Uninstall installing{L"\"" + glyphset_test::BinFolder() + L"..\\glyphset\\" + file + L"\" /qn"};
        ASSERT_EQ(RunProgram(L"msiexec /i " + installing.package).exitCode, 0u) << file;
        ASSERT_TRUE(::DeleteFileW((installed + L"Glyphset.dll").c_str())) << file;
        ASSERT_TRUE(::CopyFileW(ModulePath(nullptr).c_str(), (installed + L"RepairProbe.exe").c_str(), FALSE));
        ASSERT_TRUE(::CopyFileW((glyphset_test::BinFolder() + L"ZebSettings.dll").c_str(),
                                (installed + L"ZebSettings.dll").c_str(), FALSE));
        ::SetEnvironmentVariableW(L"LINEAGE_EXPECTED_INSTALLER_CALLS", calls.c_str());
        EXPECT_EQ(RunProgram(L"\"" + installed + L"RepairProbe.exe\" --gtest_brief=1 --gtest_also_run_disabled_tests "
                             L"--gtest_filter=InstallerRepair.DISABLED_InTheInstallationFolder").exitCode, 0u) << file;
        EXPECT_NE(::GetFileAttributesW((installed + L"Glyphset.dll").c_str()), INVALID_FILE_ATTRIBUTES) << file;
        ::DeleteFileW((installed + L"RepairProbe.exe").c_str());
        ::DeleteFileW((installed + L"ZebSettings.dll").c_str());
    }
}

} // namespace
