// Reading vault files: what a good file gives, and the one-line error for each way a file
// written by hand or by an outside tool can be wrong.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include "HostTestSupport.h"
#include "dbcall/VaultData.h"

namespace {

using nlohmann::json;

const json kGoodVault = json::parse(R"({"name": "Engineering", "root": "files\\",
  "documents": [{"id": 11, "folderId": 3, "name": "bracket.bfprt", "folder": "Parts\\"},
                {"id": 21, "folderId": 4, "name": "bracket.bfprt", "folder": "Release 2\\Parts\\"}],
  "branches": [{"id": 7, "name": "Release 2", "creator": "anna", "created": "1987-11-23T14:45:56", "files": [
      {"sourceDocId": 11, "sourceFolderId": 3, "branchDocId": 21, "branchFolderId": 4, "sourceName": "bracket.bfprt",
       "branchName": "bracket-r2.bfprt", "sourceFolder": "Parts\\", "branchFolder": "Release 2\\Parts\\", "shared": true},
      {"sourceDocId": 12, "sourceFolderId": 5, "branchDocId": 22, "branchFolderId": 6, "sourceName": "Makefile",
       "branchName": "Makefile", "sourceFolder": "Docs\\", "branchFolder": "Release 2\\Docs\\"}]},
    {"id": 8, "name": "Customer B", "creator": "björn", "files": []}]})");

// The automation date of 1987-11-23 14:45:56, counted by hand: 32104 days after 1899-12-30.
constexpr double kNov23_1987_144556 = 32104.0 + (14 * 3600 + 45 * 60 + 56) / 86400.0;

class VaultFile : public ::testing::Test {
protected:
    std::wstring Write(const std::string& text) const { return m_folder.Write(L"vault.json", text); }
    // The vault with `value` at `pointer`, loaded.
    VaultData LoadGood(const char* pointer = "", const json& value = nullptr) const {
        json vault = kGoodVault;
        if (*pointer)
            vault[json::json_pointer(pointer)] = value;
        VaultData data;
        std::wstring error;
        EXPECT_TRUE(LoadVaultFile(Write(vault.dump(2)), data, error)) << WideToUtf8(error);
        return data;
    }
    // Loads `path`, expecting failure; answers the error line.
    std::string LoadError(const std::wstring& path) const {
        VaultData vault;
        vault.name = L"before";
        std::wstring error;
        EXPECT_FALSE(LoadVaultFile(path, vault, error));
        EXPECT_EQ(vault.name, L"before") << "a failed load leaves the vault untouched";
        EXPECT_EQ(error.rfind(path + L": ", 0), 0u) << "the error names the file first";
        EXPECT_EQ(error.find_first_of(L"\r\n"), std::wstring::npos) << "the error is one line";
        EXPECT_LT(error.size(), path.size() + 300) << "however long or deep the input";
        EXPECT_EQ(error.find(L"json.exception"), std::wstring::npos);
        return WideToUtf8(error);
    }
    void ExpectError(const std::string& text, const std::string& expected) const {
        const std::string error = LoadError(Write(text));
        EXPECT_NE(error.find(expected), std::string::npos) << error.substr(0, 1000);
    }

    host_test::TempFolder m_folder;
};

TEST_F(VaultFile, GoodVaultGivesEveryFieldInStoredOrder) {
    const VaultData vault = LoadGood();
    EXPECT_EQ(vault.name, L"Engineering");
    ASSERT_EQ(vault.documents.size(), 2u);
    const VaultDocument& document = vault.documents[1];
    EXPECT_EQ(std::tuple(document.id, document.folderId, document.name, document.folder),
              std::tuple(21, 4, std::wstring(L"bracket.bfprt"), std::wstring(L"Release 2\\Parts\\")));
    ASSERT_EQ(vault.branches.size(), 2u);
    const VaultBranch& release = vault.branches[0];
    EXPECT_EQ(std::tuple(release.id, release.name, release.creator), std::tuple(7, L"Release 2", L"anna"));
    EXPECT_NEAR(release.created, kNov23_1987_144556, 1e-9);
    ASSERT_EQ(release.files.size(), 2u);
    const VaultBranchFile& f = release.files[0];
    EXPECT_EQ(std::tuple(f.sourceDocId, f.sourceFolderId, f.branchDocId, f.branchFolderId, f.shared),
              std::tuple(11, 3, 21, 4, true));
    EXPECT_EQ(f.sourceFolder + f.sourceName + L"|" + f.branchFolder + f.branchName,
              L"Parts\\bracket.bfprt|Release 2\\Parts\\bracket-r2.bfprt");
    EXPECT_EQ(release.files[1].sourceName, L"Makefile");
    EXPECT_FALSE(release.files[1].shared) << "shared left out is false";
    EXPECT_EQ(vault.branches[1].creator, L"bj\u00F6rn") << "strings are UTF-8";
    EXPECT_EQ(vault.branches[1].created, 0.0) << "created left out is no date";
    EXPECT_TRUE(vault.branches[1].files.empty());
    EXPECT_EQ(LoadGood("/branches/0/created", nullptr).branches[0].created, 0.0);
    VaultData marked;
    std::wstring error;
    EXPECT_TRUE(LoadVaultFile(Write("\xEF\xBB\xBF" + kGoodVault.dump()), marked, error) && marked.name == L"Engineering")
        << "a byte order mark is accepted";
}

TEST_F(VaultFile, CreatedIsReadAsLocalDateAndTime) {
    const std::pair<const char*, double> cases[] = {{"1987-11-23T14:45:56", kNov23_1987_144556},
                                                    {"2000-02-29T00:00:00", 36585.0},  // a leap day
                                                    {"1899-12-30T06:00:00", 0.25},
                                                    {"9999-12-31T23:59:59", 2958465.0 + 86399 / 86400.0}};
    for (const auto& [text, expected] : cases)
        EXPECT_NEAR(LoadGood("/branches/0/created", text).branches[0].created, expected, 1e-9) << text;
}

TEST_F(VaultFile, ARelativeRootBelongsToTheVaultFilesFolderAndAnAbsoluteOneIsKept) {
    const std::wstring folder = m_folder.path().wstring() + L"\\";
    const std::pair<const char*, std::wstring> cases[] = {
        {"files\\", folder + L"files\\"}, {"files", folder + L"files\\"}, {"files/deep/", folder + L"files\\deep\\"},
        {"..\\shared\\", m_folder.path().parent_path().wstring() + L"\\shared\\"}, {"", folder},
        {"D:\\Vaults\\Engineering\\", L"D:\\Vaults\\Engineering\\"}, {"D:\\NoTrailing", L"D:\\NoTrailing"},
        {"d:/forward/", L"d:/forward/"}, {"\\\\server\\share\\vault\\", L"\\\\server\\share\\vault\\"}};
    for (const auto& [root, expected] : cases)
        EXPECT_EQ(LoadGood("/root", root).root, expected) << "root \"" << root << "\"";
}

TEST_F(VaultFile, UnreadableOrMalformedFilesAreNamedWithWhereAndWhy) {
    const std::wstring folder = m_folder.path().wstring() + L"\\folder";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    EXPECT_NE(LoadError(folder + L".absent").find(": cannot be opened: "), std::string::npos);
    EXPECT_NE(LoadError(folder).find(": is a folder, not a vault file"), std::string::npos);
    const std::string x40(40, 'x');
    const std::pair<std::string, std::string> cases[] = {
        {"{\n  \"name\": \"Engineering\"\n  \"root\": \"\"\n}",
         ": malformed JSON at byte 34, line 3, column 8: syntax error while parsing object"},
        {"", ": malformed JSON at byte 1, line 1, column 1: "},
        {"{\"name\": ", ": malformed JSON at byte 10, line 1, column 10: "},
        {"[1,2,]", ": malformed JSON at byte 6, "},
        {"{\"name\": \"a\xff\"}", ": malformed JSON at byte 12, line 1, column 12: "},
        {"{} trailing", ": malformed JSON at byte 6, "},
        {"[1, 2]", ": the vault must be a JSON object, found [1,2]"},
        // However long or deep the input, the line quotes at most 40 characters of it.
        {R"({"name": [")" + std::string(200, 'x') + R"("]})", ": name must be a string, found [\"" + x40.substr(2) + "..."},
        {R"({"name": )" + std::string(20000, '[') + std::string(20000, ']') + "}",
         ": name must be a string, found " + std::string(40, '[') + "..."},
        {R"({"name": ")" + std::string(1 << 20, 'x') + "\n",
         ": malformed JSON at byte 1048587, line 2, column 0: syntax error while parsing value - invalid string: "
         "control character U+000A (LF) must be escaped to \\u000A or \\n; last read: '\"" + x40.substr(1) + "...'"},
        {R"({"id": )" + std::string(100000, '9') + "}",
         ": malformed JSON at byte 100007, line 1, column 100007: number overflow parsing '" + std::string(40, '9') + "...'"}};
    for (const auto& [text, expected] : cases)
        ExpectError(text, expected);
}

// "/branches/0/files/1/sourceName" as errors name it: "branches[0].files[1].sourceName".
std::string Named(const std::string& pointer) {
    std::string named;
    for (size_t at = 1, end; at <= pointer.size(); at = end + 1) {
        end = std::min(pointer.find('/', at), pointer.size());
        const std::string token = pointer.substr(at, end - at);
        named += token.find_first_not_of("0123456789") == std::string::npos ? "[" + token + "]"
                                                                           : (named.empty() ? "" : ".") + token;
    }
    return named;
}

// Every field except "shared" and "created" is required; leaving one out names it.
TEST_F(VaultFile, ALeftOutFieldIsNamed) {
    for (const char* field : {"/name", "/root", "/documents", "/branches", "/documents/1/id", "/documents/1/folderId",
                              "/documents/1/name", "/documents/1/folder", "/branches/1/id", "/branches/1/name",
                              "/branches/1/creator", "/branches/1/files", "/branches/0/files/1/sourceDocId",
                              "/branches/0/files/1/sourceFolderId", "/branches/0/files/1/branchDocId",
                              "/branches/0/files/1/branchFolderId", "/branches/0/files/1/sourceName",
                              "/branches/0/files/1/branchName", "/branches/0/files/1/sourceFolder",
                              "/branches/0/files/1/branchFolder"}) {
        const json::json_pointer pointer(field);
        json vault = kGoodVault;
        vault[pointer.parent_pointer()].erase(pointer.back());
        ExpectError(vault.dump(), ": " + Named(field) + " is missing");
    }
}

TEST_F(VaultFile, AWrongValueIsNamedWithWhatWasFound) {
    const std::string notADate = "created is not a date and time";
    const struct { const char* pointer; json value; std::string expected; } cases[] = {
        {"/name", 12, ": name must be a string, found 12"},
        {"/root", nullptr, ": root must be a string, found null"},
        {"/documents", json::object(), ": documents must be an array, found {}"},
        {"/documents/0", "x", ": documents[0] must be an object, found \"x\""},
        {"/documents/0/id", "11", ": documents[0].id must be an integer, found \"11\""},
        {"/documents/0/id", 11.5, ": documents[0].id must be an integer, found 11.5"},
        {"/documents/0/folderId", 4294967296LL, ": documents[0].folderId is out of range, found 4294967296"},
        {"/documents/0/folderId", -2147483649LL, ": documents[0].folderId is out of range"},
        {"/branches/0/files", nullptr, ": branches[0].files must be an array, found null"},
        {"/branches/0/files/0/shared", "yes", ": branches[0].files[0].shared must be true or false, found \"yes\""},
        {"/branches/0/files/0/shared", nullptr, ": branches[0].files[0].shared must be true or false"},
        {"/branches/0/files/0/sourceName", json::array({1, 2}), ".sourceName must be a string, found [1,2]"},
        {"/branches/0/created", 32104, ": branches[0].created must be a date and time YYYY-MM-DDThh:mm:ss, found 32104"},
        {"/branches/0/created", "1987-11-23 14:45:56",
         ": branches[0].created is not a date and time YYYY-MM-DDThh:mm:ss, found \"1987-11-23 14:45:56\""},
        {"/branches/0/created", "1987-11-23", notADate}, {"/branches/0/created", "1987-11-23T14:45:56Z", notADate},
        {"/branches/0/created", "1987-13-01T00:00:00", notADate}, {"/branches/0/created", "1987-02-29T00:00:00", notADate},
        {"/branches/0/created", "1987-04-31T00:00:00", notADate}, {"/branches/0/created", "1987-11-23T24:00:00", notADate},
        {"/branches/0/created", "0099-12-31T00:00:00", notADate},
        {"/branches/1/id", 7, ": branches[1].id 7 is used twice"},
        {"/documents/1/id", 11, ": documents[1].id 11 is used twice"}};
    for (const auto& c : cases) {
        json vault = kGoodVault;
        vault[json::json_pointer(c.pointer)] = c.value;
        ExpectError(vault.dump(), c.expected);
    }
}

} // namespace
