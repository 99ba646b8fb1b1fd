// vaulthost.exe run as a user runs it. A stand-in module takes Lineage.dll's place and writes
// down what it was handed, so a run that reaches the module ends on its own; a refused run must
// end with exit code 2, one line on stderr, and without ever reaching the module (no dialog).
#include <gtest/gtest.h>
#include "HostTestSupport.h"
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

namespace {

namespace fs = std::filesystem;
using host_test::ProgramRun;
using host_test::TempFolder;
using host_test::WideToUtf8;

// Copies of the program beside the module it may load: the stand-in, none, or a library that
// lacks the entry point.
enum class Module { Present, Missing, WithoutEntryPoint };

constexpr char kGoodVault[] = R"({
  "name": "Engineering",
  "root": "files\\",
  "documents": [],
  "branches": [
    {"id": 7, "name": "Release 2", "creator": "anna", "files": [
      {"sourceDocId": 12, "sourceFolderId": 3, "branchDocId": 22, "branchFolderId": 4,
       "sourceName": "housing.bfprt", "branchName": "housing.bfprt",
       "sourceFolder": "Parts\\", "branchFolder": "Release 2\\Parts\\"},
      {"sourceDocId": 11, "sourceFolderId": 3, "branchDocId": 21, "branchFolderId": 4,
       "sourceName": "bracket.bfprt", "branchName": "bracket.bfprt",
       "sourceFolder": "Parts\\", "branchFolder": "Release 2\\Parts\\"}]}
  ]
})";

class VaultHost : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Wine starts its desktop process for the first window of a session, with the standard
        // handles of the process that made it: started by vaulthost, it would keep the run's
        // output pipe open after vaulthost ends.
        ::GetDesktopWindow();
        s_programs = new TempFolder;
        const fs::path bin = host_test::BinFolder();
        const auto install = [&](Module module, const wchar_t* moduleSource) {
            const fs::path folder = ProgramFolder(module);
            fs::create_directories(folder);
            fs::copy_file(bin / L"vaulthost.exe", folder / L"vaulthost.exe");
            fs::copy_file(bin / L"Dbcall.dll", folder / L"Dbcall.dll");
            if (moduleSource)
                fs::copy_file(bin / moduleSource, folder / L"Lineage.dll");
        };
        install(Module::Present, L"FakeLineage.dll");
        install(Module::Missing, nullptr);
        install(Module::WithoutEntryPoint, L"Dbcall.dll");
    }
    static void TearDownTestSuite() {
        delete s_programs;
        s_programs = nullptr;
    }

    static fs::path ProgramFolder(Module module) {
        static const wchar_t* const names[] = {L"present", L"missing", L"without-entry-point"};
        return s_programs->path() / names[static_cast<int>(module)];
    }

    void SetUp() override {
        m_goodVault = m_data.Write(L"engineering.vault.json", kGoodVault).wstring();
        m_report = m_data.path() / L"module-report.txt";
        ::SetEnvironmentVariableW(L"LINEAGE_FAKE_REPORT", m_report.c_str());
    }
    void TearDown() override { ::SetEnvironmentVariableW(L"LINEAGE_FAKE_REPORT", nullptr); }

    ProgramRun Run(const std::vector<std::wstring>& arguments, Module module = Module::Present) const {
        std::wstring commandLine;
        for (const std::wstring& argument : arguments)
            commandLine += (commandLine.empty() ? L"" : L" ") + host_test::QuoteArgument(argument);
        return host_test::RunProgram(ProgramFolder(module) / L"vaulthost.exe", commandLine);
    }

    bool ModuleWasCalled() const { return fs::exists(m_report); }

    // What the stand-in module wrote down, key by key; "file" lines in their order.
    std::multimap<std::string, std::string> Report() const {
        std::multimap<std::string, std::string> report;
        std::ifstream in(m_report);
        std::string line;
        while (std::getline(in, line)) {
            const size_t equals = line.find('=');
            report.emplace(line.substr(0, equals), line.substr(equals + 1));
        }
        return report;
    }

    static std::string Value(const std::multimap<std::string, std::string>& report, const std::string& key) {
        const auto it = report.find(key);
        return it == report.end() ? "<absent>" : it->second;
    }

    void ExpectRefused(const ProgramRun& run, const std::string& fragment) const {
        ASSERT_TRUE(run.exited) << "vaulthost still ran at the time limit: something waits for a user";
        EXPECT_EQ(run.exitCode, 2u);
        EXPECT_EQ(run.standardOutput, "");
        const std::string& error = run.standardError;
        EXPECT_EQ(error.rfind("vaulthost: ", 0), 0u) << error;
        ASSERT_GE(error.size(), 2u);
        EXPECT_EQ(error.substr(error.size() - 2), "\r\n") << error;
        EXPECT_EQ(error.find('\n'), error.size() - 1) << "one line only: " << error;
        EXPECT_NE(error.find(fragment), std::string::npos) << "expected \"" << fragment << "\" in " << error;
        EXPECT_FALSE(ModuleWasCalled()) << "the module was called, so a dialog would have shown";
    }

    static TempFolder* s_programs;
    TempFolder m_data;
    std::wstring m_goodVault;
    fs::path m_report;
};

TempFolder* VaultHost::s_programs = nullptr;

TEST_F(VaultHost, ShowsTheBranchThroughTheModuleAndExitsZeroWhenItReturns) {
    const ProgramRun run = Run({L"--vault", m_goodVault, L"--branch", L"7", L"--focus", L"11"});
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.standardError, "");
    ASSERT_TRUE(ModuleWasCalled());

    const auto report = Report();
    EXPECT_EQ(Value(report, "focus"), "11");
    EXPECT_EQ(Value(report, "branch"), "7");
    EXPECT_EQ(Value(report, "parent"), "none");
    EXPECT_EQ(Value(report, "vault.name"), "Engineering");
    EXPECT_EQ(Value(report, "vault.root"), WideToUtf8(m_data.path().wstring() + L"\\files\\"));
    EXPECT_EQ(Value(report, "vault.dispatch.name"), "Engineering");
    EXPECT_EQ(Value(report, "vault.dispatch.root"), Value(report, "vault.root"));
    EXPECT_EQ(Value(report, "document.proc"), "yes");
    EXPECT_EQ(Value(report, "branch.result"), "0");
    EXPECT_EQ(Value(report, "branch.name"), "Release 2");
    EXPECT_EQ(Value(report, "branch.creator"), "anna");
    const auto files = report.equal_range("file");
    std::vector<std::string> listed;
    for (auto it = files.first; it != files.second; ++it)
        listed.push_back(it->second);
    EXPECT_EQ(listed, (std::vector<std::string>{"Parts\\housing.bfprt -> Release 2\\Parts\\housing.bfprt",
                                                "Parts\\bracket.bfprt -> Release 2\\Parts\\bracket.bfprt"}));
}

TEST_F(VaultHost, WithoutFocusTheModuleGetsNoDocument) {
    const ProgramRun run = Run({L"--branch", L"7", L"--vault", m_goodVault});
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(Value(Report(), "focus"), "0");
}

// The module itself shows a branch it cannot load as an empty dialog.
TEST_F(VaultHost, BranchMissingFromTheVaultIsLeftToTheModule) {
    const ProgramRun run = Run({L"--vault", m_goodVault, L"--branch", L"99"});
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_NE(Value(Report(), "branch.result"), "0");
}

TEST_F(VaultHost, VaultPathWithSpacesAndNonAsciiLetters) {
    const std::wstring path = m_data.Write(L"my vaults\\\u00C5rhus \u00FCbung.vault.json", kGoodVault).wstring();
    const ProgramRun run = Run({L"--vault", path, L"--branch", L"7"});
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.exitCode, 0u) << run.standardError;
    EXPECT_EQ(Value(Report(), "vault.root"), WideToUtf8(m_data.path().wstring() + L"\\my vaults\\files\\"));
}

TEST_F(VaultHost, DeeplyNestedValueIsRefusedWithOneShortLine) {
    const std::string nested = std::string(20000, '[') + std::string(20000, ']');
    const std::wstring bad = m_data.Write(L"nested.vault.json", R"({"name": )" + nested + "}").wstring();
    const ProgramRun run = Run({L"--vault", bad, L"--branch", L"7"});
    ExpectRefused(run, ": name must be a string, found [[[[");
    EXPECT_LT(run.standardError.size(), 300u + bad.size()) << run.standardError.substr(0, 1000);
}

TEST_F(VaultHost, MissingModuleIsNamed) {
    ExpectRefused(Run({L"--vault", m_goodVault, L"--branch", L"7"}, Module::Missing),
                  WideToUtf8((ProgramFolder(Module::Missing) / L"Lineage.dll").wstring()) + " cannot be loaded: ");
}

TEST_F(VaultHost, ModuleWithoutTheEntryPointIsNamed) {
    ExpectRefused(Run({L"--vault", m_goodVault, L"--branch", L"7"}, Module::WithoutEntryPoint),
                  "Lineage.dll does not export gvShowBranchDetails");
}

// A refused command line or vault file: the arguments, with {vault} for a good vault file and
// {bad} for a file holding `content` ({absent} and {folder} name no readable file); the words
// expected on the error line, where {bad} stands for that file's path.
struct Refusal {
    const char* name;
    std::vector<std::wstring> arguments;
    const char* content;
    std::string expected;
};

void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.name; }

class VaultHostRefuses : public VaultHost, public ::testing::WithParamInterface<Refusal> {
protected:
    std::wstring Substitute(std::wstring text, const std::wstring& placeholder, const std::wstring& value) const {
        for (size_t at = text.find(placeholder); at != std::wstring::npos; at = text.find(placeholder, at + value.size()))
            text.replace(at, placeholder.size(), value);
        return text;
    }
};

TEST_P(VaultHostRefuses, WithOneLineAndExitCodeTwo) {
    const Refusal& refusal = GetParam();
    std::wstring bad = (m_data.path() / L"absent.vault.json").wstring();
    if (refusal.content)
        bad = m_data.Write(L"bad.vault.json", refusal.content).wstring();
    const std::wstring folder = (m_data.path() / L"a folder").wstring();
    fs::create_directories(folder);

    std::vector<std::wstring> arguments;
    for (const std::wstring& argument : refusal.arguments)
        arguments.push_back(Substitute(Substitute(Substitute(argument, L"{vault}", m_goodVault), L"{bad}", bad),
                                       L"{folder}", folder));
    const std::string expected = WideToUtf8(
        Substitute(Substitute(host_test::Utf8ToWide(refusal.expected), L"{bad}", bad), L"{folder}", folder));
    ExpectRefused(Run(arguments), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, VaultHostRefuses,
    ::testing::Values(
        Refusal{"NoArguments", {}, nullptr,
                "--vault FILE is missing (usage: vaulthost --vault FILE --branch ID [--focus DOCID])"},
        Refusal{"NoVault", {L"--branch", L"7"}, nullptr, "--vault FILE is missing"},
        Refusal{"NoBranch", {L"--vault", L"{vault}"}, nullptr, "--branch ID is missing"},
        Refusal{"VaultWithoutValue", {L"--branch", L"7", L"--vault"}, nullptr, "--vault needs a value FILE"},
        Refusal{"VaultFollowedByOption", {L"--vault", L"--branch", L"7"}, nullptr, "--vault needs a value FILE"},
        Refusal{"EmptyVault", {L"--vault", L"", L"--branch", L"7"}, nullptr, "--vault needs a value FILE"},
        Refusal{"BranchWithoutValue", {L"--vault", L"{vault}", L"--branch"}, nullptr, "--branch needs a value ID"},
        Refusal{"BranchNotANumber", {L"--vault", L"{vault}", L"--branch", L"seven"}, nullptr,
                "--branch ID must be a whole number, found \"seven\""},
        Refusal{"BranchWithTrailingLetters", {L"--vault", L"{vault}", L"--branch", L"7x"}, nullptr,
                "--branch ID must be a whole number, found \"7x\""},
        Refusal{"BranchTooLarge", {L"--vault", L"{vault}", L"--branch", L"2147483648"}, nullptr,
                "--branch ID must be a whole number, found \"2147483648\""},
        Refusal{"LongBranch", {L"--vault", L"{vault}", L"--branch", std::wstring(30000, L'7') + L"x"}, nullptr,
                "--branch ID must be a whole number, found \"" + std::string(40, '7') + "...\" (usage: "},
        Refusal{"BranchJustAMinus", {L"--vault", L"{vault}", L"--branch", L"-"}, nullptr,
                "--branch ID must be a whole number, found \"-\""},
        Refusal{"FocusNotANumber", {L"--vault", L"{vault}", L"--branch", L"7", L"--focus", L"1.5"}, nullptr,
                "--focus DOCID must be a whole number, found \"1.5\""},
        Refusal{"FocusWithoutValue", {L"--vault", L"{vault}", L"--branch", L"7", L"--focus"}, nullptr,
                "--focus needs a value DOCID"},
        Refusal{"UnknownOption", {L"--vault", L"{vault}", L"--branch", L"7", L"--colour", L"red"}, nullptr,
                "unknown argument \"--colour\""},
        Refusal{"StrayValue", {L"--vault", L"{vault}", L"7"}, nullptr, "unknown argument \"7\""},
        Refusal{"SingleDashOption", {L"-vault", L"{vault}", L"--branch", L"7"}, nullptr,
                "unknown argument \"-vault\""},
        Refusal{"RepeatedOption", {L"--vault", L"{vault}", L"--branch", L"7", L"--branch", L"8"}, nullptr,
                "--branch is given twice"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    VaultFiles, VaultHostRefuses,
    ::testing::Values(
        Refusal{"AbsentFile", {L"--vault", L"{bad}", L"--branch", L"7"}, nullptr, "vaulthost: {bad}: cannot be opened: "},
        Refusal{"Folder", {L"--vault", L"{folder}", L"--branch", L"7"}, nullptr,
                "vaulthost: {folder}: is a folder, not a vault file"},
        Refusal{"EmptyFile", {L"--vault", L"{bad}", L"--branch", L"7"}, "",
                "vaulthost: {bad}: malformed JSON at byte 1, line 1, column 1: "},
        Refusal{"MalformedJson", {L"--vault", L"{bad}", L"--branch", L"7"}, "{\n  \"name\": \"E\",\n  \"root\" \"x\"\n}",
                "vaulthost: {bad}: malformed JSON at byte 29, line 3, column 12: "},
        Refusal{"RawLineBreakInString", {L"--vault", L"{bad}", L"--branch", L"7"}, "{\"name\": \"a\nb\"}",
                "vaulthost: {bad}: malformed JSON at byte "},
        Refusal{"IncompleteVault", {L"--vault", L"{bad}", L"--branch", L"7"},
                R"({"name": "E", "root": "", "documents": []})", "vaulthost: {bad}: branches is missing"},
        Refusal{"IncompleteFileRecord", {L"--vault", L"{bad}", L"--branch", L"7"},
                R"({"name": "E", "root": "", "documents": [], "branches": [{"id": 7, "name": "R", "creator": "a",
                    "files": [{"sourceDocId": 1}]}]})",
                "vaulthost: {bad}: branches[0].files[0].sourceFolderId is missing"},
        Refusal{"WrongType", {L"--vault", L"{bad}", L"--branch", L"7"},
                R"({"name": "E", "root": 5, "documents": [], "branches": []})",
                "vaulthost: {bad}: root must be a string, found 5"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

} // namespace
