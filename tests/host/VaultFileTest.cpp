// Reading vault files: what a good file gives, and the one-line error for each way a file
// written by hand or by an outside tool can be wrong.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include "HostTestSupport.h"
#include "dbcall/VaultData.h"

namespace {

using nlohmann::json;
using host_test::TempFolder;
using host_test::Utf8ToWide;

json GoodVault() {
    return json::parse(R"({
      "name": "Engineering",
      "root": "files\\",
      "documents": [
        {"id": 11, "folderId": 3, "name": "bracket.bfprt", "folder": "Parts\\"},
        {"id": 21, "folderId": 4, "name": "bracket.bfprt", "folder": "Release 2\\Parts\\"}
      ],
      "branches": [
        {"id": 7, "name": "Release 2", "creator": "anna", "created": "1987-11-23T14:45:56",
         "files": [
           {"sourceDocId": 11, "sourceFolderId": 3, "branchDocId": 21, "branchFolderId": 4,
            "sourceName": "bracket.bfprt", "branchName": "bracket-r2.bfprt",
            "sourceFolder": "Parts\\", "branchFolder": "Release 2\\Parts\\", "shared": true},
           {"sourceDocId": 12, "sourceFolderId": 5, "branchDocId": 22, "branchFolderId": 6,
            "sourceName": "Makefile", "branchName": "Makefile",
            "sourceFolder": "Docs\\", "branchFolder": "Release 2\\Docs\\"}
         ]},
        {"id": 8, "name": "Customer B", "creator": "björn", "files": []}
      ]
    })");
}

// The automation date of 1987-11-23 14:45:56, counted by hand: 32104 days after 1899-12-30.
constexpr double kNov23_1987_144556 = 32104.0 + (14 * 3600 + 45 * 60 + 56) / 86400.0;

class VaultFile : public ::testing::Test {
protected:
    std::wstring WriteVault(const json& vault) const { return WriteText(vault.dump(2)); }
    std::wstring WriteText(const std::string& text) const {
        return m_folder.Write(L"vault.json", text).wstring();
    }
    std::wstring Folder() const { return m_folder.path().wstring() + L"\\"; }

    // Loads `path`, expecting failure; answers the error line.
    std::string LoadError(const std::wstring& path) const {
        VaultData vault;
        std::wstring error;
        EXPECT_FALSE(LoadVaultFile(path, vault, error));
        EXPECT_EQ(error.rfind(path + L": ", 0), 0u) << "the error names the file first";
        EXPECT_EQ(error.find_first_of(L"\r\n"), std::wstring::npos) << "the error is one line";
        return host_test::WideToUtf8(error);
    }

    VaultData LoadGood(const std::wstring& path) const {
        VaultData vault;
        std::wstring error;
        EXPECT_TRUE(LoadVaultFile(path, vault, error)) << host_test::WideToUtf8(error);
        return vault;
    }

    TempFolder m_folder;
};

TEST_F(VaultFile, GoodVaultGivesEveryFieldInStoredOrder) {
    const VaultData vault = LoadGood(WriteVault(GoodVault()));

    EXPECT_EQ(vault.name, L"Engineering");
    ASSERT_EQ(vault.documents.size(), 2u);
    EXPECT_EQ(vault.documents[1].id, 21);
    EXPECT_EQ(vault.documents[1].folderId, 4);
    EXPECT_EQ(vault.documents[1].name, L"bracket.bfprt");
    EXPECT_EQ(vault.documents[1].folder, L"Release 2\\Parts\\");

    ASSERT_EQ(vault.branches.size(), 2u);
    const VaultBranch& release = vault.branches[0];
    EXPECT_EQ(release.id, 7);
    EXPECT_EQ(release.name, L"Release 2");
    EXPECT_EQ(release.creator, L"anna");
    EXPECT_NEAR(release.created, kNov23_1987_144556, 1e-9);
    ASSERT_EQ(release.files.size(), 2u);
    const VaultBranchFile& first = release.files[0];
    EXPECT_EQ(first.sourceDocId, 11);
    EXPECT_EQ(first.sourceFolderId, 3);
    EXPECT_EQ(first.branchDocId, 21);
    EXPECT_EQ(first.branchFolderId, 4);
    EXPECT_EQ(first.sourceName, L"bracket.bfprt");
    EXPECT_EQ(first.branchName, L"bracket-r2.bfprt");
    EXPECT_EQ(first.sourceFolder, L"Parts\\");
    EXPECT_EQ(first.branchFolder, L"Release 2\\Parts\\");
    EXPECT_TRUE(first.shared);
    EXPECT_EQ(release.files[1].sourceName, L"Makefile");
    EXPECT_FALSE(release.files[1].shared) << "shared left out is false";

    EXPECT_EQ(vault.branches[1].creator, L"bj\u00F6rn") << "strings are UTF-8";
    EXPECT_EQ(vault.branches[1].created, 0.0) << "created left out is no date";
    EXPECT_TRUE(vault.branches[1].files.empty());
}

TEST_F(VaultFile, CreatedNullIsNoDate) {
    json vault = GoodVault();
    vault["branches"][0]["created"] = nullptr;
    EXPECT_EQ(LoadGood(WriteVault(vault)).branches[0].created, 0.0);
}

TEST_F(VaultFile, CreatedIsReadAsLocalDateAndTime) {
    struct Case {
        const char* text;
        double expected;
    };
    const Case cases[] = {
        {"1987-11-23T14:45:56", kNov23_1987_144556},
        {"2000-02-29T00:00:00", 36585.0},  // a leap day
        {"1899-12-30T06:00:00", 0.25},
        {"9999-12-31T23:59:59", 2958465.0 + 86399 / 86400.0},
    };
    for (const Case& c : cases) {
        json vault = GoodVault();
        vault["branches"][0]["created"] = c.text;
        EXPECT_NEAR(LoadGood(WriteVault(vault)).branches[0].created, c.expected, 1e-9) << c.text;
    }
}

TEST_F(VaultFile, ByteOrderMarkIsAccepted) {
    EXPECT_EQ(LoadGood(WriteText("\xEF\xBB\xBF" + GoodVault().dump())).name, L"Engineering");
}

TEST_F(VaultFile, RelativeRootBelongsToTheVaultFilesFolder) {
    struct Case {
        const char* root;
        std::wstring expected;
    };
    const std::wstring folder = Folder();
    const std::wstring parent = m_folder.path().parent_path().wstring() + L"\\";
    const Case cases[] = {
        {"files\\", folder + L"files\\"},
        {"files", folder + L"files\\"},
        {"files/deep/", folder + L"files\\deep\\"},
        {"..\\shared\\", parent + L"shared\\"},
        {"", folder},
    };
    for (const Case& c : cases) {
        json vault = GoodVault();
        vault["root"] = c.root;
        EXPECT_EQ(LoadGood(WriteVault(vault)).root, c.expected) << "root \"" << c.root << "\"";
    }
}

TEST_F(VaultFile, AbsoluteRootIsKeptAsWritten) {
    for (const char* root : {"D:\\Vaults\\Engineering\\", "D:\\NoTrailingSeparator", "d:/forward/",
                             "\\\\server\\share\\vault\\"}) {
        json vault = GoodVault();
        vault["root"] = root;
        EXPECT_EQ(LoadGood(WriteVault(vault)).root, Utf8ToWide(root)) << root;
    }
}

TEST_F(VaultFile, FailedLoadLeavesTheVaultUntouched) {
    VaultData vault;
    vault.name = L"before";
    std::wstring error;
    EXPECT_FALSE(LoadVaultFile(WriteText("{"), vault, error));
    EXPECT_EQ(vault.name, L"before");
}

TEST_F(VaultFile, MissingFileIsNamedWithTheSystemsReason) {
    const std::wstring path = Folder() + L"absent.vault.json";
    EXPECT_NE(LoadError(path).find(": cannot be opened: "), std::string::npos);
}

TEST_F(VaultFile, FolderIsNotAVaultFile) {
    const std::wstring path = Folder() + L"folder";
    CreateDirectoryW(path.c_str(), nullptr);
    EXPECT_NE(LoadError(path).find(": is a folder, not a vault file"), std::string::npos);
}

TEST_F(VaultFile, MalformedJsonNamesTheBytePosition) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"{\n  \"name\": \"Engineering\"\n  \"root\": \"\"\n}",
         ": malformed JSON at byte 34, line 3, column 8: syntax error while parsing object"},
        {"", ": malformed JSON at byte 1, line 1, column 1: "},
        {"{\"name\": ", ": malformed JSON at byte 10, line 1, column 10: "},
        {"[1,2,]", ": malformed JSON at byte 6, "},
        {"{\"name\": \"a\xff\"}", ": malformed JSON at byte 12, line 1, column 12: "},
        {"{} trailing", ": malformed JSON at byte 6, "},
    };
    for (const Case& c : cases) {
        const std::string error = LoadError(WriteText(c.text));
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
    }
}

// Every field except "shared" and "created" is required; leaving one out names it.
class VaultFileRequiredField : public VaultFile, public ::testing::WithParamInterface<const char*> {};

// "/branches/0/files/1/sourceName" as errors name it: "branches[0].files[1].sourceName".
std::string Named(const std::string& pointer) {
    std::string named;
    size_t at = 1;
    while (at <= pointer.size()) {
        const size_t end = std::min(pointer.find('/', at), pointer.size());
        const std::string token = pointer.substr(at, end - at);
        const bool index = token.find_first_not_of("0123456789") == std::string::npos;
        named += index ? "[" + token + "]" : (named.empty() ? "" : ".") + token;
        at = end + 1;
    }
    return named;
}

TEST_P(VaultFileRequiredField, LeftOutIsNamed) {
    const json::json_pointer pointer(GetParam());
    json vault = GoodVault();
    vault[pointer.parent_pointer()].erase(pointer.back());
    const std::string error = LoadError(WriteVault(vault));
    EXPECT_NE(error.find(": " + Named(GetParam()) + " is missing"), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    EveryField, VaultFileRequiredField,
    ::testing::Values("/name", "/root", "/documents", "/branches", "/documents/1/id", "/documents/1/folderId",
                      "/documents/1/name", "/documents/1/folder", "/branches/1/id", "/branches/1/name",
                      "/branches/1/creator", "/branches/1/files", "/branches/0/files/1/sourceDocId",
                      "/branches/0/files/1/sourceFolderId", "/branches/0/files/1/branchDocId",
                      "/branches/0/files/1/branchFolderId", "/branches/0/files/1/sourceName",
                      "/branches/0/files/1/branchName", "/branches/0/files/1/sourceFolder",
                      "/branches/0/files/1/branchFolder"));

struct WrongValue {
    const char* pointer;
    json value;
    const char* expected;
};

void PrintTo(const WrongValue& value, std::ostream* out) { *out << value.pointer << " = " << value.value.dump(); }

class VaultFileWrongValue : public VaultFile, public ::testing::WithParamInterface<WrongValue> {};

TEST_P(VaultFileWrongValue, IsNamedWithWhatWasFound) {
    json vault = GoodVault();
    vault[json::json_pointer(GetParam().pointer)] = GetParam().value;
    const std::string error = LoadError(WriteVault(vault));
    EXPECT_NE(error.find(GetParam().expected), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Types, VaultFileWrongValue,
    ::testing::Values(
        WrongValue{"/name", 12, ": name must be a string, found 12"},
        WrongValue{"/root", nullptr, ": root must be a string, found null"},
        WrongValue{"/documents", json::object(), ": documents must be an array, found {}"},
        WrongValue{"/documents/0", "x", ": documents[0] must be an object, found \"x\""},
        WrongValue{"/documents/0/id", "11", ": documents[0].id must be an integer, found \"11\""},
        WrongValue{"/documents/0/id", 11.5, ": documents[0].id must be an integer, found 11.5"},
        WrongValue{"/documents/0/folderId", 4294967296LL, ": documents[0].folderId is out of range, found 4294967296"},
        WrongValue{"/documents/0/folderId", -2147483649LL, ": documents[0].folderId is out of range"},
        WrongValue{"/branches/0/files", nullptr, ": branches[0].files must be an array, found null"},
        WrongValue{"/branches/0/files/0/shared", "yes", ": branches[0].files[0].shared must be true or false, found \"yes\""},
        WrongValue{"/branches/0/files/0/shared", nullptr, ": branches[0].files[0].shared must be true or false"},
        WrongValue{"/branches/0/files/0/sourceName", json::array({1, 2}), ".sourceName must be a string, found [1,2]"},
        WrongValue{"/branches/0/created", 32104, ": branches[0].created must be a date and time YYYY-MM-DDThh:mm:ss, found 32104"}));

INSTANTIATE_TEST_SUITE_P(
    Dates, VaultFileWrongValue,
    ::testing::Values(
        WrongValue{"/branches/0/created", "1987-11-23 14:45:56", ": branches[0].created is not a date and time YYYY-MM-DDThh:mm:ss, found \"1987-11-23 14:45:56\""},
        WrongValue{"/branches/0/created", "1987-11-23", "created is not a date and time"},
        WrongValue{"/branches/0/created", "1987-11-23T14:45:56Z", "created is not a date and time"},
        WrongValue{"/branches/0/created", "1987-13-01T00:00:00", "created is not a date and time"},
        WrongValue{"/branches/0/created", "1987-02-29T00:00:00", "created is not a date and time"},
        WrongValue{"/branches/0/created", "1987-04-31T00:00:00", "created is not a date and time"},
        WrongValue{"/branches/0/created", "1987-11-23T24:00:00", "created is not a date and time"},
        WrongValue{"/branches/0/created", "0099-12-31T00:00:00", "created is not a date and time"}));

INSTANTIATE_TEST_SUITE_P(
    Ids, VaultFileWrongValue,
    ::testing::Values(WrongValue{"/branches/1/id", 7, ": branches[1].id 7 is used twice"},
                      WrongValue{"/documents/1/id", 11, ": documents[1].id 11 is used twice"}));

TEST_F(VaultFile, TopLevelMustBeAnObject) {
    EXPECT_NE(LoadError(WriteText("[1, 2]")).find(": the vault must be a JSON object, found [1,2]"), std::string::npos);
}

// However long or deep the input, the line says where and quotes at most 40 characters of it.
TEST_F(VaultFile, ErrorsQuoteAShortExcerptAndSayWhere) {
    const std::string nested = std::string(20000, '[') + std::string(20000, ']');
    const std::string x40 = std::string(40, 'x');
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {R"({"name": [")" + std::string(200, 'x') + R"("]})", "name must be a string, found [\"" + x40.substr(2) + "..."},
        {R"({"name": )" + nested + "}", "name must be a string, found " + std::string(40, '[') + "..."},
        {R"({"name": ")" + std::string(1 << 20, 'x') + "\n",
         "malformed JSON at byte 1048587, line 2, column 0: syntax error while parsing value - invalid string: "
         "control character U+000A (LF) must be escaped to \\u000A or \\n; last read: '\"" + x40.substr(1) + "...'"},
        {R"({"id": )" + std::string(100000, '9') + "}",
         "malformed JSON at byte 100007, line 1, column 100007: number overflow parsing '" + std::string(40, '9') + "...'"},
    };
    for (const Case& c : cases) {
        const std::string error = LoadError(WriteText(c.text));
        EXPECT_NE(error.find(": " + c.expected), std::string::npos) << error.substr(0, 1000);
        EXPECT_LT(error.size(), 300u) << error.substr(0, 1000);
        EXPECT_EQ(error.find("json.exception"), std::string::npos) << error.substr(0, 1000);
    }
}

} // namespace
