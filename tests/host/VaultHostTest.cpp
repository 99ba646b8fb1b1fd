// vaulthost.exe run as a user runs it. A stand-in module takes Lineage.dll's place and writes
// down what it was handed, so a run that reaches the module ends on its own; a refused run must
// end with exit code 2, one line on stderr, and without ever reaching the module (no dialog).
#include <gtest/gtest.h>
#include "HostTestSupport.h"
#include <fstream>
#include <map>
#include <optional>
#include <vector>

namespace {

namespace fs = std::filesystem;
using host_test::ProgramRun;

// Copies of the program beside the module it may load: the stand-in, none, or a library that
// lacks the entry point.
enum class Module { Present, Missing, WithoutEntryPoint };

constexpr char kGoodVault[] = R"({"name": "Engineering", "root": "files\\", "documents": [], "branches": [
  {"id": 7, "name": "Release 2", "creator": "anna", "files": [
    {"sourceDocId": 12, "sourceFolderId": 3, "branchDocId": 22, "branchFolderId": 4, "sourceName": "housing.bfprt",
     "branchName": "housing.bfprt", "sourceFolder": "Parts\\", "branchFolder": "Release 2\\Parts\\"},
    {"sourceDocId": 11, "sourceFolderId": 3, "branchDocId": 21, "branchFolderId": 4, "sourceName": "bracket.bfprt",
     "branchName": "bracket.bfprt", "sourceFolder": "Parts\\", "branchFolder": "Release 2\\Parts\\"}]}]})";

std::wstring Replace(std::wstring text, const std::wstring& placeholder, const std::wstring& value) {
    for (size_t at = text.find(placeholder); at != std::wstring::npos; at = text.find(placeholder, at + value.size()))
        text.replace(at, placeholder.size(), value);
    return text;
}

class VaultHost : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_programs = new host_test::TempFolder;
        const fs::path bin = host_test::BinFolder();
        for (const auto& [module, source] : {std::pair{Module::Present, L"FakeLineage.dll"},
                                             {Module::Missing, nullptr}, {Module::WithoutEntryPoint, L"Dbcall.dll"}}) {
            fs::create_directories(Folder(module));
            fs::copy_file(bin / L"vaulthost.exe", Folder(module) / L"vaulthost.exe");
            fs::copy_file(bin / L"Dbcall.dll", Folder(module) / L"Dbcall.dll");
            if (source)
                fs::copy_file(bin / source, Folder(module) / L"Lineage.dll");
        }
    }
    static void TearDownTestSuite() { delete s_programs; }
    static fs::path Folder(Module module) { return s_programs->path() / std::to_wstring(static_cast<int>(module)); }

    void SetUp() override { ::SetEnvironmentVariableW(L"LINEAGE_FAKE_REPORT", m_report.c_str()); }
    void TearDown() override { ::SetEnvironmentVariableW(L"LINEAGE_FAKE_REPORT", nullptr); }

    ProgramRun Run(const std::vector<std::wstring>& arguments, Module module = Module::Present) const {
        std::wstring commandLine;
        for (const std::wstring& argument : arguments)
            commandLine += host_test::QuoteArgument(argument) + L" ";
        return host_test::RunProgram(Folder(module) / L"vaulthost.exe", commandLine);
    }
    // What the stand-in module wrote down, key by key; "file" lines in their order.
    std::multimap<std::string, std::string> Report(const ProgramRun& run) const {
        EXPECT_TRUE(run.exited && run.exitCode == 0 && run.standardError.empty()) << run.standardError;
        std::multimap<std::string, std::string> report;
        std::ifstream in(m_report);
        for (std::string line; std::getline(in, line);)
            report.emplace(line.substr(0, line.find('=')), line.substr(line.find('=') + 1));
        return report;
    }
    static std::string Value(const std::multimap<std::string, std::string>& report, const char* key) {
        const auto it = report.find(key);
        return it == report.end() ? "<absent>" : it->second;
    }
    void ExpectRefused(const ProgramRun& run, const std::string& fragment) const {
        ASSERT_TRUE(run.exited) << "vaulthost still ran at the time limit: something waits for a user";
        EXPECT_EQ(run.exitCode, 2u);
        EXPECT_EQ(run.standardOutput, "");
        const std::string& error = run.standardError;
        EXPECT_EQ(error.rfind("vaulthost: ", 0), 0u) << error;
        EXPECT_EQ(error.find('\n'), error.size() - 1) << "one line only: " << error;
        EXPECT_EQ(error.find("\r\n"), error.size() - 2) << error;
        EXPECT_NE(error.find(fragment), std::string::npos) << "expected \"" << fragment << "\" in " << error;
        EXPECT_FALSE(fs::exists(m_report)) << "the module was called, so a dialog would have shown";
    }

    static inline host_test::TempFolder* s_programs = nullptr;
    host_test::TempFolder m_data;
    const std::wstring m_goodVault = m_data.Write(L"engineering.vault.json", kGoodVault);
    const fs::path m_report = m_data.path() / L"module-report.txt";
};

TEST_F(VaultHost, ShowsTheBranchThroughTheModuleAndExitsZeroWhenItReturns) {
    const auto report = Report(Run({L"--vault", m_goodVault, L"--branch", L"7", L"--focus", L"11"}));
    const std::string root = WideToUtf8(m_data.path().wstring() + L"\\files\\");
    const std::multimap<std::string, std::string> expected = {
        {"focus", "11"}, {"branch", "7"}, {"parent", "none"}, {"vault.name", "Engineering"}, {"vault.root", root},
        {"vault.dispatch.name", "Engineering"}, {"vault.dispatch.root", root}, {"document.proc", "yes"},
        {"branch.result", "0"}, {"branch.name", "Release 2"}, {"branch.creator", "anna"},
        {"file", "Parts\\housing.bfprt -> Release 2\\Parts\\housing.bfprt"},
        {"file", "Parts\\bracket.bfprt -> Release 2\\Parts\\bracket.bfprt"}};
    EXPECT_EQ(report, expected);
}

TEST_F(VaultHost, WithoutFocusAVaultPathWithSpacesAndNonAsciiLettersOrAMissingBranch) {
    const std::wstring path = m_data.Write(L"my vaults\\\u00C5rhus \u00FCbung.vault.json", kGoodVault);
    const auto report = Report(Run({L"--branch", L"7", L"--vault", path}));
    EXPECT_EQ(Value(report, "focus"), "0");
    EXPECT_EQ(Value(report, "vault.root"), WideToUtf8(m_data.path().wstring() + L"\\my vaults\\files\\"));
    // The module itself shows a branch it cannot load as an empty dialog.
    EXPECT_NE(Value(Report(Run({L"--vault", m_goodVault, L"--branch", L"99"})), "branch.result"), "0");
}

TEST_F(VaultHost, AMissingModuleOrEntryPointIsNamed) {
    ExpectRefused(Run({L"--vault", m_goodVault, L"--branch", L"7"}, Module::Missing),
                  WideToUtf8((Folder(Module::Missing) / L"Lineage.dll").wstring()) + " cannot be loaded: ");
    ExpectRefused(Run({L"--vault", m_goodVault, L"--branch", L"7"}, Module::WithoutEntryPoint),
                  "Lineage.dll does not export gvShowBranchDetails");
}

// The arguments, with {vault} for a good vault file and {bad} for a file holding `content`
// ({folder} names a folder, {bad} without content an absent file); the words expected on the
// error line, where {bad} and {folder} stand for those paths.
TEST_F(VaultHost, RefusesBadArgumentsAndVaultFilesWithOneLineAndExitCodeTwo) {
    const std::string nested = std::string(20000, '[') + std::string(20000, ']');
    const struct {
        std::vector<std::wstring> arguments;
        std::optional<std::string> content;
        std::string expected;
    } refusals[] = {
        {{}, {}, "--vault FILE is missing (usage: vaulthost --vault FILE --branch ID [--focus DOCID])"},
        {{L"--branch", L"7"}, {}, "--vault FILE is missing"},
        {{L"--vault", L"{vault}"}, {}, "--branch ID is missing"},
        {{L"--branch", L"7", L"--vault"}, {}, "--vault needs a value FILE"},
        {{L"--vault", L"--branch", L"7"}, {}, "--vault needs a value FILE"},
        {{L"--vault", L"", L"--branch", L"7"}, {}, "--vault needs a value FILE"},
        {{L"--vault", L"{vault}", L"--branch"}, {}, "--branch needs a value ID"},
        {{L"--vault", L"{vault}", L"--branch", L"seven"}, {}, "--branch ID must be a whole number, found \"seven\""},
        {{L"--vault", L"{vault}", L"--branch", L"7x"}, {}, "--branch ID must be a whole number, found \"7x\""},
        {{L"--vault", L"{vault}", L"--branch", L"2147483648"}, {}, "whole number, found \"2147483648\""},
        {{L"--vault", L"{vault}", L"--branch", std::wstring(30000, L'7') + L"x"}, {},
         "--branch ID must be a whole number, found \"" + std::string(40, '7') + "...\" (usage: "},
        {{L"--vault", L"{vault}", L"--branch", L"-"}, {}, "--branch ID must be a whole number, found \"-\""},
        {{L"--vault", L"{vault}", L"--branch", L"7", L"--focus", L"1.5"}, {},
         "--focus DOCID must be a whole number, found \"1.5\""},
        {{L"--vault", L"{vault}", L"--branch", L"7", L"--focus"}, {}, "--focus needs a value DOCID"},
        {{L"--vault", L"{vault}", L"--branch", L"7", L"--colour", L"red"}, {}, "unknown argument \"--colour\""},
        {{L"--vault", L"{vault}", L"7"}, {}, "unknown argument \"7\""},
        {{L"-vault", L"{vault}", L"--branch", L"7"}, {}, "unknown argument \"-vault\""},
        {{L"--vault", L"{vault}", L"--branch", L"7", L"--branch", L"8"}, {}, "--branch is given twice"},
        {{L"--vault", L"{bad}", L"--branch", L"7"}, {}, "vaulthost: {bad}: cannot be opened: "},
        {{L"--vault", L"{folder}", L"--branch", L"7"}, {}, "vaulthost: {folder}: is a folder, not a vault file"},
        {{L"--vault", L"{bad}", L"--branch", L"7"}, "", "vaulthost: {bad}: malformed JSON at byte 1, line 1, column 1: "},
        {{L"--vault", L"{bad}", L"--branch", L"7"}, "{\n  \"name\": \"E\",\n  \"root\" \"x\"\n}",
         "vaulthost: {bad}: malformed JSON at byte 29, line 3, column 12: "},
        {{L"--vault", L"{bad}", L"--branch", L"7"}, "{\"name\": \"a\nb\"}", "vaulthost: {bad}: malformed JSON at byte "},
        {{L"--vault", L"{bad}", L"--branch", L"7"}, R"({"name": "E", "root": "", "documents": []})",
         "vaulthost: {bad}: branches is missing"},
        {{L"--vault", L"{bad}", L"--branch", L"7"}, R"({"name": "E", "root": "", "documents": [], "branches": [
            {"id": 7, "name": "R", "creator": "a", "files": [{"sourceDocId": 1}]}]})",
         "vaulthost: {bad}: branches[0].files[0].sourceFolderId is missing"},
        {{L"--vault", L"{bad}", L"--branch", L"7"}, R"({"name": "E", "root": 5, "documents": [], "branches": []})",
         "vaulthost: {bad}: root must be a string, found 5"},
        {{L"--vault", L"{bad}", L"--branch", L"7"}, R"({"name": )" + nested + "}", ": name must be a string, found [[[["}};
    const std::wstring folder = (m_data.path() / L"a folder").wstring();
    fs::create_directories(folder);
    for (const auto& refusal : refusals) {
        std::wstring bad = (m_data.path() / L"absent.vault.json").wstring();
        if (refusal.content)
            bad = m_data.Write(L"bad.vault.json", *refusal.content);
        const auto fill = [&](const std::wstring& text) {
            return Replace(Replace(Replace(text, L"{vault}", m_goodVault), L"{bad}", bad), L"{folder}", folder);
        };
        std::vector<std::wstring> arguments;
        for (const std::wstring& argument : refusal.arguments)
            arguments.push_back(fill(argument));
        SCOPED_TRACE(refusal.expected);
        const ProgramRun run = Run(arguments);
        ExpectRefused(run, WideToUtf8(fill(Utf8ToWide(refusal.expected))));
        EXPECT_LT(run.standardError.size(), 300u + bad.size()) << "a short line, however long or deep the input";
    }
}

} // namespace
