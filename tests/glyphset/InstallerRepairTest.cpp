// The icon cache's loader has the installer put back a library missing beside the module. Wine's
// MsiInstallMissingComponentW answers success and does nothing, so the loader is given that call
// as Windows answers it, made of installer calls Wine does implement; the rest is the real
// installer with the host's real package.
#include "GlyphsetTestSupport.h"
#include "contracts/GlyphsetInstaller.h"
#include "icons/WorkflowIcons.h"

namespace {

using glyphset_test::RunProcess;

std::wstring g_calls;

// An unknown product is refused; for an installed one the missing files come back.
UINT WINAPI InstallMissingComponent(LPCWSTR product, LPCWSTR component, INSTALLSTATE state) {
    const UINT result = ::MsiQueryProductStateW(product) == INSTALLSTATE_UNKNOWN
                            ? ERROR_UNKNOWN_PRODUCT
                            : ::MsiReinstallProductW(product, REINSTALLMODE_FILEMISSING);
    g_calls += std::wstring(L"install ") + product + L" " + component + L" " + std::to_wstring(state) + L" -> " +
               std::to_wstring(result) + L"\n";
    return result;
}

UINT WINAPI EnumRelatedProducts(LPCWSTR upgradeCode, DWORD reserved, DWORD index, LPWSTR product) {
    const UINT result = ::MsiEnumRelatedProductsW(upgradeCode, reserved, index, product);
    g_calls += std::wstring(L"related ") + upgradeCode + L" " + std::to_wstring(index) + L" -> " +
               std::to_wstring(result) + (result == ERROR_SUCCESS ? L" " + std::wstring(product) : L"") + L"\n";
    return result;
}

// Runs in a copy of this executable placed in the host's installation folder.
TEST(InstallerRepair, DISABLED_InTheInstallationFolder) {
    ::MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    ScopedHMODULE library;
    EXPECT_TRUE(LoadGlyphsetModule(library, {InstallMissingComponent, EnumRelatedProducts}));
    EXPECT_EQ(ModulePath(library.get()), FolderOf(ModulePath(nullptr)) + L"Glyphset.dll");
    wchar_t expected[1024] = L"";
    ::GetEnvironmentVariableW(L"LINEAGE_EXPECTED_INSTALLER_CALLS", expected, 1024);
    EXPECT_EQ(g_calls, expected);
}

class InstalledPackage {
public:
    explicit InstalledPackage(const std::wstring& package)
        : m_package(package), m_installed(RunProcess(L"msiexec /i \"" + package + L"\" /qn") == 0) {}
    InstalledPackage(const InstalledPackage&) = delete;
    InstalledPackage& operator=(const InstalledPackage&) = delete;
    ~InstalledPackage() { RunProcess(L"msiexec /x \"" + m_package + L"\" /qn"); }
    bool installed() const { return m_installed; }

private:
    std::wstring m_package;
    bool m_installed;
};

TEST(InstallerRepair, PutsTheLibraryBackBesideTheModule) {
    const std::wstring install = L"install " GLYPHSET_PRODUCT_CODE L" " GLYPHSET_COMPONENT_CODE L" 5 -> ";
    const struct {
        const wchar_t* package;
        std::wstring calls;
    } kPackages[] = {
        {L"Glyphset.msi", install + L"0\n"},
        {L"GlyphsetLater.msi",  // a later release: another product code, found by the second upgrade code
         install + L"1605\nrelated " GLYPHSET_UPGRADE_CODE_1 L" 0 -> 259\nrelated " GLYPHSET_UPGRADE_CODE_2
                   L" 0 -> 0 " GLYPHSET_LATER_PRODUCT_CODE L"\ninstall " GLYPHSET_LATER_PRODUCT_CODE
                   L" " GLYPHSET_COMPONENT_CODE L" 5 -> 0\n"}};
    wchar_t folder[MAX_PATH] = L"";
    ::ExpandEnvironmentStringsW(L"%ProgramFiles%\\Brightfold\\Ledgerix Enterprise\\", folder, MAX_PATH);
    const std::wstring bin = glyphset_test::BinFolder(), folderPath = folder;
    const std::wstring library = folderPath + L"Glyphset.dll", probe = folderPath + L"RepairProbe.exe";
    for (const auto& p : kPackages) {
        InstalledPackage package(bin + L"..\\glyphset\\" + p.package);
        ASSERT_TRUE(package.installed()) << p.package;
        ASSERT_TRUE(::DeleteFileW(library.c_str())) << p.package;
        // The host's installation: the module, and the DPI helper the library links with.
        ASSERT_TRUE(::CopyFileW(ModulePath(nullptr).c_str(), probe.c_str(), FALSE));
        ASSERT_TRUE(::CopyFileW((bin + L"ZebSettings.dll").c_str(), (folderPath + L"ZebSettings.dll").c_str(), FALSE));
        ::SetEnvironmentVariableW(L"LINEAGE_EXPECTED_INSTALLER_CALLS", p.calls.c_str());
        EXPECT_EQ(RunProcess(L"\"" + probe + L"\" --gtest_brief=1 --gtest_also_run_disabled_tests "
                             L"--gtest_filter=InstallerRepair.DISABLED_InTheInstallationFolder"),
                  0u)
            << p.package;
        EXPECT_NE(::GetFileAttributesW(library.c_str()), INVALID_FILE_ATTRIBUTES) << p.package;
        ::DeleteFileW(probe.c_str());
        ::DeleteFileW((folderPath + L"ZebSettings.dll").c_str());
    }
}

} // namespace
