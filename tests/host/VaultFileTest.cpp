// Reading vault files, and the stored procedures answering from what was read.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include "HostTestSupport.h"
#include "dbcall/VaultData.h"

namespace {

using nlohmann::json;

const json kGoodVault = json::parse(host_test::kVault);

class VaultFile : public ::testing::Test {
protected:
    std::wstring Write(const std::string& text) const { return m_folder.Write(L"vault.json", text); }
    VaultData LoadGood(const char* pointer = "", const json& value = nullptr) const {
        json vault = kGoodVault;
        if (*pointer)
            vault[json::json_pointer(pointer)] = value;
        VaultData data;
        std::wstring error;
        EXPECT_TRUE(LoadVaultFile(Write("\xEF\xBB\xBF" + vault.dump(2)), data, error)) << WideToUtf8(error);
        return data;
    }
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

    host_test::TempFolder m_folder;
};

TEST_F(VaultFile, GoodVaultGivesEveryFieldInStoredOrder) {
    const VaultData vault = LoadGood();
    // Names, folders and "shared" as the module gets them are checked by the VaultHost test.
    ASSERT_TRUE(vault.name == L"Engineering" && vault.branches.size() == 2 && vault.branches[0].files.size() == 2);
    const VaultBranchFile& f = vault.branches[0].files[0];
    EXPECT_EQ(std::tuple(f.sourceDocId, f.sourceFolderId, f.branchDocId, f.branchFolderId), std::tuple(11, 3, 21, 4));
    EXPECT_EQ(vault.branches[1].creator, L"bj\u00F6rn");
    EXPECT_EQ(vault.branches[1].created, 0.0) << "created left out is no date";
    // Local date and time as an automation date; 1987-11-23 is 32104 days after 1899-12-30.
    for (const auto& [text, expected] : {std::pair{"1987-11-23T06:00:00", 32104.25}, {"2000-02-29T00:00:00", 36585.0},
                                         {"9999-12-31T23:59:59", 2958465.0 + 86399 / 86400.0}})
        EXPECT_NEAR(LoadGood("/branches/0/created", text).branches[0].created, expected, 1e-9) << text;
    EXPECT_EQ(LoadGood("/branches/0/created", nullptr).branches[0].created, 0.0);
    // A relative root belongs to the vault file's folder; an absolute one is kept.
    const std::wstring folder = m_folder.path().wstring() + L"\\";
    for (const auto& [root, expected] :
         {std::pair{"files", folder + L"files\\"}, {"files/deep/", folder + L"files\\deep\\"}, {"", folder},
          {"..\\x\\", m_folder.path().parent_path().wstring() + L"\\x\\"},
          {"D:\\NoTrailing", std::wstring(L"D:\\NoTrailing")}, {"\\\\server\\s\\", std::wstring(L"\\\\server\\s\\")}})
        EXPECT_EQ(LoadGood("/root", root).root, expected) << "root \"" << root << "\"";
}

TEST_F(VaultFile, UnreadableMalformedOrWrongFilesAreNamedWithWhereAndWhy) {
    ExpectError(m_folder.path().wstring() + L"\\absent", ": cannot be opened: ");
    ExpectError(m_folder.path().wstring(), ": is a folder, not a vault file");
    const std::string x39(39, 'x');
    // However long or deep the input, the line quotes at most 40 characters of it.
    for (const auto& [text, expected] : std::initializer_list<std::pair<std::string, std::string>>{
             {"{\n  \"name\": \"Engineering\"\n  \"root\": \"\"\n}",
              ": malformed JSON at byte 34, line 3, column 8: syntax error while parsing object"},
             {"", ": malformed JSON at byte 1, line 1, column 1: "},
             {"[1, 2]", ": the vault must be a JSON object, found [1,2]"},
             {R"({"name": [")" + x39 + x39 + R"("]})", ": name must be a string, found [\"" + x39.substr(1) + "..."},
             {R"({"name": )" + std::string(9999, '[') + std::string(9999, ']') + "}", std::string(40, '[') + "..."},
             {R"({"name": ")" + std::string(1 << 20, 'x') + "\n", ": malformed JSON at byte 1048587, line 2, column 0: "
              "syntax error while parsing value - invalid string: control character U+000A (LF) must be escaped to "
              "\\u000A or \\n; last read: '\"" + x39 + "...'"}})
        ExpectError(Write(text), expected);
    // Every field but "shared" and "created" is required and named by its place when wrong or left out.
    const std::string bad = "created is not a date and time", out = "<left out>";
    const struct { const char* pointer; json value; std::string expected; } cases[] = {
        {"/name", 12, ": name must be a string, found 12"},
        {"/documents", json::object(), ": documents must be an array, found {}"},
        {"/documents/0", "x", ": documents[0] must be an object, found \"x\""},
        {"/documents/0/id", 11.5, ": documents[0].id must be an integer, found 11.5"},
        {"/documents/0/folderId", 4294967296LL, ": documents[0].folderId is out of range, found 4294967296"},
        {"/documents/0/folderId", -2147483649LL, ": documents[0].folderId is out of range"},
        {"/branches/0/files/0/shared", "yes", ": branches[0].files[0].shared must be true or false, found \"yes\""},
        {"/branches/0/created", 3, ": branches[0].created must be a date and time YYYY-MM-DDThh:mm:ss, found 3"},
        {"/branches/0/created", "1987-11-23 14:45:56", ": branches[0].created is not a date and time "
                                                       "YYYY-MM-DDThh:mm:ss, found \"1987-11-23 14:45:56\""},
        {"/branches/0/created", "1987-13-01T00:00:00", bad}, {"/branches/0/created", "1987-02-29T00:00:00", bad},
        {"/branches/0/created", "1987-04-31T00:00:00", bad}, {"/branches/0/created", "1987-11-23T24:00:00", bad},
        {"/branches/0/created", "1987-11-23T14:45:56Z", bad}, {"/branches/0/created", "0099-12-31T00:00:00", bad},
        {"/branches/1/id", 7, ": branches[1].id 7 is used twice"},
        {"/documents/1/id", 11, ": documents[1].id 11 is used twice"},
        {"/root", out, ": root is missing"}, {"/documents/1/folder", out, ": documents[1].folder is missing"},
        {"/branches/1/creator", out, ": branches[1].creator is missing"},
        {"/branches/0/files/1/branchFolderId", out, ": branches[0].files[1].branchFolderId is missing"}};
    for (const auto& c : cases) {
        json vault = kGoodVault;
        const json::json_pointer pointer(c.pointer);
        if (c.value == out)
            vault[pointer.parent_pointer()].erase(pointer.back());
        else
            vault[pointer] = c.value;
        ExpectError(Write(vault.dump()), c.expected);
    }
}

// A file is found by folder id and name ignoring case, answered with the vault's spelling and its local path.
TEST_F(VaultFile, TheDocumentProcedureFindsFilesOfTheVault) {
    const auto spMgr = CreateVaultSpMgr(std::make_shared<const VaultData>(LoadGood("/root", "C:\\V\\")));
    EXPECT_TRUE(!CreateVaultSpMgr(nullptr) && !spMgr->mpoGetProc(13));
    auto* documents = dynamic_cast<SpDocument*>(spMgr->mpoGetProc(SpProcId::Document));
    for (const auto& [folderId, name, path] : {std::tuple{3, L"BRACKET.BFPRT", L"C:\\V\\Parts\\bracket.bfprt"},
                                               {4, L"bj\u00D6rn.bfprt", L"C:\\V\\Release 2\\Parts\\Bj\u00F6rn.BFPRT"},
                                               {4, L"bracket.bfprt", L""}, {9, L"bracket.bfprt", L""}}) {
        DocFolderIDInfo wanted{folderId, name, L"C:\\elsewhere\\x"};
        Lst<DocFolderIDInfo*> query, found;
        query.AddTail(&wanted);
        ASSERT_EQ(documents->mhGetFileExist(query, found), 0);
        ASSERT_EQ(found.GetCount(), *path ? 1 : 0) << folderId << testing::PrintToString(name);
        found.ForEach([&, path = path](DocFolderIDInfo* answer) {
            EXPECT_EQ(answer->localPath, path);
            EXPECT_EQ(answer->localPath.substr(answer->localPath.size() - answer->fileName.size()), answer->fileName);
            delete answer;
        });
    }
}

} // namespace
