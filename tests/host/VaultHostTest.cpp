// vaulthost.exe with a stand-in module that writes down what it was handed, and with the real module.
#include <gtest/gtest.h>
#include "HostTestSupport.h"
#include <iterator>
#include "SourceTree.h"
#include "module/resource.h"

namespace {

using namespace host_test;

TEST(VaultHost, HandsTheModuleTheBranchTheFocusAndTheVaultOrRefusesWithOneLineAndExitCodeTwo) {
    const TempFolder data;
    const std::wstring vault = data.Write(L"engineering.vault.json", kVault);
    const fs::path report = data.path() / L"module-report.txt";
    ::SetEnvironmentVariableW(L"LINEAGE_FAKE_REPORT", report.c_str());
    // The program beside the stand-in module (folder 0), no module (1), a module without the entry point (2).
    const auto folder = [&](int module) { return data.path() / std::to_wstring(module); };
    const wchar_t* const modules[] = {L"FakeLineage.dll", L"", L"Dbcall.dll"};
    for (int module = 0; module < 3; ++module) {
        fs::create_directories(folder(module));
        for (const auto& [from, to] : {std::pair{L"vaulthost.exe", L"vaulthost.exe"}, {L"Dbcall.dll", L"Dbcall.dll"},
                                       {modules[module], L"Lineage.dll"}})
            if (*from)
                fs::copy_file(lineage_test::ExecutableFolder() + from, folder(module) / to);
    }
    const auto runHost = [&](const std::vector<std::wstring>& arguments, int module = 0) {
        std::wstring commandLine = L"\"" + (folder(module) / L"vaulthost.exe").wstring() + L"\"";
        for (const std::wstring& argument : arguments)
            commandLine += L" \"" + argument + L"\"";
        return RunProgram(commandLine);
    };
    const auto reported = [&](const ProgramRun& run) {
        EXPECT_TRUE(run.exited && run.exitCode == 0 && run.errors.empty()) << run.errors;
        std::string text{std::istreambuf_iterator<char>(std::ifstream(report).rdbuf()), {}};
        fs::remove(report);
        return text;
    };
    const auto expected = [](const char* head, const fs::path& folder, const char* tail) {
        const std::string root = WideToUtf8(folder / L"files\\");
        return head + ("\nparent=none\nname=Engineering|Engineering\nroot=" + root + "|" + root + "\ndocuments=yes\n") +
               tail;
    };
    EXPECT_EQ(reported(runHost({L"--vault", vault, L"--branch", L"7", L"--focus", L"11"})),
              expected("focus=11\nbranch=7", data.path(),
                       "result=0\ndetails=Release 2 by anna\nfile=Parts\\bracket.bfprt -> Release 2\\Parts\\b.bfprt "
                       "shared\nfile=Docs\\Makefile -> Release 2\\Docs\\Makefile\n"));
    // Without a focus, from a path with spaces and non-ASCII letters; a branch it lacks goes to the module too.
    const std::wstring path = data.Write(L"my vaults\\\u00C5rhus \u00FCbung.vault.json", kVault);
    EXPECT_EQ(reported(runHost({L"--branch", L"99", L"--vault", path})),
              expected("focus=0\nbranch=99", data.path() / L"my vaults", "result=1\ndetails= by \n"));
    // Refusals: exit code 2 and one line on stderr, without reaching the module.
    const std::wstring absent = (data.path() / L"absent.vault.json").wstring();
    const struct {
        std::vector<std::wstring> arguments;
        std::string expected;
        int module = 0;
    } refusals[] = {
        {{}, "--vault FILE is missing (usage: vaulthost --vault FILE --branch ID [--focus DOCID])"},
        {{L"--vault", vault}, "--branch ID is missing"},
        {{L"--branch", L"7", L"--vault"}, "--vault needs a value FILE"},
        {{L"--vault", L"--branch", L"7"}, "--vault needs a value FILE"},
        {{L"--vault", L"", L"--branch", L"7"}, "--vault needs a value FILE"},
        {{L"--vault", vault, L"--branch", L"7x"}, "--branch ID must be a whole number, found \"7x\""},
        {{L"--vault", vault, L"--branch", L"2147483648"}, "whole number, found \"2147483648\""},
        {{L"--vault", vault, L"--branch", std::wstring(30000, L'7') + L"x"},
         "--branch ID must be a whole number, found \"" + std::string(40, '7') + "...\" (usage: "},
        {{L"--vault", vault, L"--branch", L"-"}, "--branch ID must be a whole number, found \"-\""},
        {{L"--vault", vault, L"--branch", L"7", L"--focus", L"1.5"}, "--focus DOCID must be a whole number"},
        {{L"-vault", vault, L"--branch", L"7"}, "unknown argument \"-vault\""},
        {{L"--vault", vault, L"--branch", L"7", L"--branch", L"8"}, "--branch is given twice"},
        {{L"--vault", absent, L"--branch", L"7"}, WideToUtf8(absent) + ": cannot be opened: "},
        {{L"--vault", vault, L"--branch", L"7"}, WideToUtf8(folder(1) / L"Lineage.dll") + " cannot be loaded: ", 1},
        {{L"--vault", vault, L"--branch", L"7"}, "Lineage.dll does not export gvShowBranchDetails", 2}};
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.expected);
        const ProgramRun run = runHost(refusal.arguments, refusal.module);
        ASSERT_TRUE(run.exited) << "vaulthost did not end by the time limit: " << run.errors;
        EXPECT_EQ(run.exitCode, 2u);
        EXPECT_EQ(run.errors.rfind("vaulthost: ", 0), 0u) << run.errors;
        EXPECT_EQ(run.errors.find("\r\n"), run.errors.size() - 2) << "one line only: " << run.errors;
        EXPECT_NE(run.errors.find(refusal.expected), std::string::npos) << run.errors;
        EXPECT_LT(run.errors.size(), 400u) << "a short line, however long the input";
        EXPECT_FALSE(fs::exists(report)) << "the module was called: a dialog would have shown";
    }
}

// The real module on the sample vault, as the demo opens it: the branch's dialog, and exit code 0 once it closes.
TEST(VaultHostWithTheModule, ShowsTheSampleBranchUntilTheDialogCloses) {
    const auto showing = [](const PROCESS_INFORMATION& host) {
        // The host's thread first waits for input in the dialog's modal loop (docs/platform.md).
        ASSERT_EQ(::WaitForInputIdle(host.hProcess, 30000), 0u);
        const HWND dialog = ::FindWindowW(L"#32770", L"Associated Branches-Customer A");
        ASSERT_TRUE(dialog) << "vaulthost showed no dialog of the branch";
        EXPECT_EQ(::GetWindowThreadProcessId(dialog, nullptr), host.dwThreadId);
        EXPECT_EQ(lineage_test::ItemCount(::GetDlgItem(dialog, IDC_FILE_LIST)), 7);
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_CLOSE, BN_CLICKED), LPARAM(::GetDlgItem(dialog, IDC_CLOSE)));
    };
    const fs::path sample = lineage_test::SourceFolder() / L"samples\\engineering.vault.json";
    const ProgramRun run = RunProgram(L"\"" + lineage_test::ExecutableFolder() + L"vaulthost.exe\" --vault \"" +
                                          sample.wstring() + L"\" --branch 8 --focus 11", showing);
    EXPECT_TRUE(run.exited && run.exitCode == 0 && run.errors.empty()) << run.exitCode << run.errors;
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Brightfold\\Applications\\Ledgerix Enterprise\\Window State");
}

} // namespace
