// Reading vault files: what a good file gives, the one-line error for each way a file written by
// hand or by an outside tool can be wrong, and the stored procedures answering from what was read.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include "HostTestSupport.h"
#include "dbcall/VaultData.h"

namespace {

using nlohmann::json;

const json kGoodVault = json::parse(R"({"name": "Engineering", "root": "files\\",
  "documents": [{"id": 11, "folderId": 3, "name": "bracket.bfprt", "folder": "Parts\\"},
                {"id": 21, "folderId": 4, "name": "Bj\u00f6rn.BFPRT", "folder": "Release 2\\Parts\\"}],
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
        EXPECT_TRUE(LoadVaultFile(Write("\xEF\xBB\xBF" + vault.dump(2)), data, error)) << WideToUtf8(error);
        return data;
    }
    // Loads `path`, expecting failure with `expected` in one short line that names the file first.
    void ExpectError(const std::wstring& path, const std::string& expected) const {
        VaultData vault;
        vault.name = L"before";
        std::wstring error;
        EXPECT_FALSE(LoadVaultFile(path, vault, error));
        EXPECT_EQ(vault.name, L"before") << "a failed load leaves the vault untouched";
        EXPECT_EQ(error.rfind(path + L": ", 0), 0u) << "the error names the file first";
        EXPECT_EQ(error.find_first_of(L"\r\n"), std::wstring::npos) << "the error is one line";
        EXPECT_LT(error.size(), path.size() + 300) << "however long or deep the input";
        EXPECT_NE(WideToUtf8(error).find(expected), std::string::npos) << WideToUtf8(error.substr(0, 1000));
    }
    void ExpectError(const json& vault, const std::string& expected) const { ExpectError(Write(vault.dump()), expected); }

    host_test::TempFolder m_folder;
};

TEST_F(VaultFile, GoodVaultGivesEveryFieldInStoredOrder) {
    const VaultData vault = LoadGood();
    EXPECT_EQ(vault.name, L"Engineering");
    ASSERT_EQ(vault.documents.size(), 2u);
    const VaultDocument& document = vault.documents[1];
    EXPECT_EQ(std::tuple(document.id, document.folderId, document.name, document.folder),
              std::tuple(21, 4, std::wstring(L"Bj\u00F6rn.BFPRT"), std::wstring(L"Release 2\\Parts\\")));
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
    EXPECT_EQ(std::tuple(vault.branches[1].creator, vault.branches[1].created, vault.branches[1].files.size()),
              std::tuple(std::wstring(L"bj\u00F6rn"), 0.0, size_t{0})) << "UTF-8; created left out is no date";
    EXPECT_EQ(LoadGood("/branches/0/created", nullptr).branches[0].created, 0.0);
    for (const auto& [text, expected] : {std::pair{"2000-02-29T00:00:00", 36585.0}, {"1899-12-30T06:00:00", 0.25},
                                         {"9999-12-31T23:59:59", 2958465.0 + 86399 / 86400.0}})
        EXPECT_NEAR(LoadGood("/branches/0/created", text).branches[0].created, expected, 1e-9) << text;
    // A relative root belongs to the vault file's folder; an absolute one is kept.
    const std::wstring folder = m_folder.path().wstring() + L"\\";
    for (const auto& [root, expected] : {std::pair{"files", folder + L"files\\"}, {"files/deep/", folder + L"files\\deep\\"},
                                         {"..\\x\\", m_folder.path().parent_path().wstring() + L"\\x\\"}, {"", folder},
                                         {"D:\\NoTrailing", std::wstring(L"D:\\NoTrailing")},
                                         {"\\\\server\\share\\", std::wstring(L"\\\\server\\share\\")}})
        EXPECT_EQ(LoadGood("/root", root).root, expected) << "root \"" << root << "\"";
}

TEST_F(VaultFile, UnreadableOrMalformedFilesAreNamedWithWhereAndWhy) {
    const std::wstring folder = m_folder.path().wstring() + L"\\folder";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ExpectError(folder + L".absent", ": cannot be opened: ");
    ExpectError(folder, ": is a folder, not a vault file");
    const std::string x40(40, 'x');
    const std::pair<std::string, std::string> cases[] = {
        {"{\n  \"name\": \"Engineering\"\n  \"root\": \"\"\n}",
         ": malformed JSON at byte 34, line 3, column 8: syntax error while parsing object"},
        {"", ": malformed JSON at byte 1, line 1, column 1: "},
        {"{\"name\": \"a\xff\"}", ": malformed JSON at byte 12, line 1, column 12: "},
        {"{} trailing", ": malformed JSON at byte 6, "},
        {"[1, 2]", ": the vault must be a JSON object, found [1,2]"},
        // However long or deep the input, the line quotes at most 40 characters of it.
        {R"({"name": [")" + std::string(200, 'x') + R"("]})", ": name must be a string, found [\"" + x40.substr(2) + "..."},
        {R"({"name": )" + std::string(20000, '[') + std::string(20000, ']') + "}",
         ": name must be a string, found " + std::string(40, '[') + "..."},
        {R"({"name": ")" + std::string(1 << 20, 'x') + "\n",
         ": malformed JSON at byte 1048587, line 2, column 0: syntax error while parsing value - invalid string: "
         "control character U+000A (LF) must be escaped to \\u000A or \\n; last read: '\"" + x40.substr(1) + "...'"}};
    for (const auto& [text, expected] : cases)
        ExpectError(Write(text), expected);
}

// Every field except "shared" and "created" is required and named by its place when wrong or left out.
TEST_F(VaultFile, AWrongOrLeftOutValueIsNamedWithWhatWasFound) {
    const std::string notADate = "created is not a date and time";
    const struct { const char* pointer; json value; std::string expected; } cases[] = {
        {"/name", 12, ": name must be a string, found 12"},
        {"/documents", json::object(), ": documents must be an array, found {}"},
        {"/documents/0", "x", ": documents[0] must be an object, found \"x\""},
        {"/documents/0/id", 11.5, ": documents[0].id must be an integer, found 11.5"},
        {"/documents/0/folderId", 4294967296LL, ": documents[0].folderId is out of range, found 4294967296"},
        {"/documents/0/folderId", -2147483649LL, ": documents[0].folderId is out of range"},
        {"/branches/0/files/0/shared", "yes", ": branches[0].files[0].shared must be true or false, found \"yes\""},
        {"/branches/0/created", 32104, ": branches[0].created must be a date and time YYYY-MM-DDThh:mm:ss, found 32104"},
        {"/branches/0/created", "1987-11-23 14:45:56",
         ": branches[0].created is not a date and time YYYY-MM-DDThh:mm:ss, found \"1987-11-23 14:45:56\""},
        {"/branches/0/created", "1987-11-23T14:45:56Z", notADate}, {"/branches/0/created", "1987-13-01T00:00:00", notADate},
        {"/branches/0/created", "1987-02-29T00:00:00", notADate}, {"/branches/0/created", "1987-04-31T00:00:00", notADate},
        {"/branches/0/created", "1987-11-23T24:00:00", notADate}, {"/branches/0/created", "0099-12-31T00:00:00", notADate},
        {"/branches/1/id", 7, ": branches[1].id 7 is used twice"},
        {"/documents/1/id", 11, ": documents[1].id 11 is used twice"}};
    for (const auto& c : cases) {
        json vault = kGoodVault;
        vault[json::json_pointer(c.pointer)] = c.value;
        ExpectError(vault, c.expected);
    }
    for (const auto& [pointer, named] : {std::pair{"/root", "root"}, {"/branches", "branches"},
                                         {"/documents/1/folder", "documents[1].folder"}, {"/branches/1/creator", "branches[1].creator"},
                                         {"/branches/0/files/1/branchFolderId", "branches[0].files[1].branchFolderId"}}) {
        json vault = kGoodVault;
        vault[json::json_pointer(pointer).parent_pointer()].erase(json::json_pointer(pointer).back());
        ExpectError(vault, std::string(": ") + named + " is missing");
    }
}

// The module's calls: branch details append new records; a file is found by folder id and name
// ignoring case, answered as a new record with the vault's own spelling and the local path.
TEST_F(VaultFile, TheProceduresAnswerFromTheVault) {
    const auto spMgr = CreateVaultSpMgr(std::make_shared<const VaultData>(LoadGood("/root", "C:\\V\\")));
    EXPECT_EQ(CreateVaultSpMgr(nullptr), nullptr);
    EXPECT_EQ(spMgr->mpoGetProc(13), nullptr);
    auto* branches = dynamic_cast<SpBranch*>(spMgr->mpoGetProc(SpProcId::Branch));
    SpBranchBasicInfo info;
    std::vector<SpBranchFileInfo*> files{nullptr};
    EXPECT_NE(branches->mhGetBranchDetails(9, info, files), 0);
    ASSERT_EQ(branches->mhGetBranchDetails(7, info, files), 0);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(std::tuple(std::wstring(info.name), std::wstring(info.creator), files[0], files[1]->branchDocId,
                         files[1]->shared, std::wstring(files[1]->branchName), files[2]->shared),
              std::tuple(L"Release 2", L"anna", nullptr, 21, true, L"bracket-r2.bfprt", false));
    SpStr kept = files[1]->branchName;
    for (SpBranchFileInfo* file : files)
        delete file;
    EXPECT_STREQ(kept, L"bracket-r2.bfprt") << "records hold their own copies";
    auto* documents = dynamic_cast<SpDocument*>(spMgr->mpoGetProc(SpProcId::Document));
    const struct { int folderId; const wchar_t* name; const wchar_t* path; } cases[] = {
        {3, L"BRACKET.BFPRT", L"C:\\V\\Parts\\bracket.bfprt"}, {4, L"bj\u00D6rn.bfprt", L"C:\\V\\Release 2\\Parts\\Bj\u00F6rn.BFPRT"},
        {4, L"bracket.bfprt"}, {99, L"bracket.bfprt"}, {3, L"bracket"}};
    for (const auto& c : cases) {
        DocFolderIDInfo wanted{c.folderId, c.name, L"C:\\elsewhere\\x"};
        Lst<DocFolderIDInfo*> query, found;
        query.AddTail(&wanted);
        ASSERT_EQ(documents->mhGetFileExist(query, found), 0);
        ASSERT_EQ(found.GetCount(), c.path ? 1 : 0) << c.folderId << "/" << testing::PrintToString(c.name);
        if (!c.path)
            continue;
        const DocFolderIDInfo& answer = *found.Head()->value;
        EXPECT_EQ(std::tuple(answer.folderId, answer.localPath), std::tuple(c.folderId, std::wstring(c.path)));
        EXPECT_EQ(answer.localPath.substr(answer.localPath.size() - answer.fileName.size()), answer.fileName);
        delete &answer;
    }
}

} // namespace
