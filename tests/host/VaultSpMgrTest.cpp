// The stored procedures as the module calls them, answered from an in-memory vault.
#include <gtest/gtest.h>
#include <memory>
#include <utility>
#include "dbcall/VaultData.h"

namespace {

std::shared_ptr<const VaultData> SmallVault() {
    auto vault = std::make_shared<VaultData>();
    vault->root = L"C:\\Vaults\\Engineering\\";
    vault->documents = {{11, 3, L"bracket.bfprt", L"Parts\\"}, {12, 3, L"Housing.BFPRT", L"Parts\\"},
                        {21, 4, L"bracket.bfprt", L"Release 2\\Parts\\"}, {30, 5, L"Bj\u00F6rn Notes.txt", L"Docs\\"}};
    VaultBranch release{7, L"Release 2", L"anna", 32104.5, {}};
    release.files = {{12, 3, 22, 4, L"Housing.BFPRT", L"Housing.BFPRT", L"Parts\\", L"Release 2\\Parts\\", false},
                     {11, 3, 21, 4, L"bracket.bfprt", L"bracket-r2.bfprt", L"Parts\\", L"Release 2\\Parts\\", true}};
    vault->branches = {release, VaultBranch{8, L"Empty", L"chen", 0.0, {}}};
    return vault;
}

std::wstring Text(const SpStr& text) { return static_cast<const wchar_t*>(text); }

// The caller owns every record it is handed and deletes it, through the library's destructor.
struct Records : std::vector<SpBranchFileInfo*> {
    ~Records() {
        for (SpBranchFileInfo* record : *this)
            delete record;
    }
};

class VaultSpMgr : public ::testing::Test {
protected:
    long Details(long id, SpBranchBasicInfo& info, Records& files) {
        return dynamic_cast<SpBranch*>(m_spMgr->mpoGetProc(SpProcId::Branch))->mhGetBranchDetails(id, info, files);
    }
    std::unique_ptr<SpMgr> m_spMgr = CreateVaultSpMgr(SmallVault());
};

TEST_F(VaultSpMgr, OnlyTheBranchAndDocumentProceduresExistOncePerManager) {
    EXPECT_EQ(CreateVaultSpMgr(nullptr), nullptr) << "without a vault there is no manager";
    EXPECT_NE(dynamic_cast<SpBranch*>(m_spMgr->mpoGetProc(SpProcId::Branch)), nullptr);
    EXPECT_NE(dynamic_cast<SpDocument*>(m_spMgr->mpoGetProc(SpProcId::Document)), nullptr);
    EXPECT_EQ(m_spMgr->mpoGetProc(SpProcId::Branch), m_spMgr->mpoGetProc(SpProcId::Branch));
    for (SPID id : {0, 1, 11, 13, 67, 69, 100, -1, -68})
        EXPECT_EQ(m_spMgr->mpoGetProc(id), nullptr) << id;
}

TEST_F(VaultSpMgr, BranchDetailsGiveTheHeaderAndOneNewRecordPerFileAfterWhatTheVectorHeld) {
    for (long id : {0L, 6L, 9L, -7L}) {
        SpBranchBasicInfo info;
        Records files;
        EXPECT_NE(Details(id, info, files), 0) << id;
        EXPECT_TRUE(files.empty() && *info.name == 0) << "an unknown branch hands nothing over: " << id;
    }
    SpBranchBasicInfo info;
    Records files, again;
    files.push_back(new SpBranchFileInfo);
    ASSERT_EQ(Details(7, info, files) + Details(7, info, again), 0);
    EXPECT_EQ(Text(info.name) + L"|" + Text(info.creator), L"Release 2|anna");
    EXPECT_EQ(info.created, 32104.5);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0]->sourceDocId, 0);
    EXPECT_EQ(std::tuple(files[1]->sourceDocId, Text(files[1]->sourceName), files[1]->shared),
              std::tuple(12, std::wstring(L"Housing.BFPRT"), false));
    const SpBranchFileInfo& bracket = *files[2];
    EXPECT_EQ(std::tuple(bracket.sourceDocId, bracket.sourceFolderId, bracket.branchDocId, bracket.branchFolderId,
                         bracket.shared, bracket.thirdId, bracket.value), std::tuple(11, 3, 21, 4, true, 0, 0.0));
    EXPECT_EQ(Text(bracket.sourceFolder) + Text(bracket.sourceName) + L"|" + Text(bracket.branchFolder) +
                  Text(bracket.branchName), L"Parts\\bracket.bfprt|Release 2\\Parts\\bracket-r2.bfprt");
    ASSERT_EQ(again.size(), 2u);
    EXPECT_NE(again[0], files[1]) << "every call hands out its own records";

    SpBranchBasicInfo empty;
    Records none;
    EXPECT_EQ(Details(8, empty, none), 0);
    EXPECT_EQ(std::tuple(Text(empty.name), empty.created, none.size()), std::tuple(L"Empty", 0.0, size_t{0}));
}

TEST_F(VaultSpMgr, RecordStringsAreCopiesTheCallerMayKeepCopyAndMove) {
    SpBranchBasicInfo info;
    Records files;
    ASSERT_EQ(Details(7, info, files), 0);
    SpStr kept = files[1]->branchName, assigned;
    assigned = kept;
    delete files[1];
    files.pop_back();
    EXPECT_STREQ(kept, L"bracket-r2.bfprt");
    EXPECT_STREQ(assigned, L"bracket-r2.bfprt");
    SpStr moved = std::move(kept);
    EXPECT_STREQ(moved, L"bracket-r2.bfprt");
    EXPECT_STREQ(kept, L"") << "a moved-from string is empty, never null";
    assigned = std::move(moved);
    EXPECT_STREQ(assigned, L"bracket-r2.bfprt");
    EXPECT_STREQ(SpStr(), L"") << "an empty string is never null";
    EXPECT_STREQ(SpStr(nullptr), L"");
}

// A file is found by folder id and name, ignoring case; the answer is a new record from the COM
// task allocator with the vault's own spelling and the local path.
TEST_F(VaultSpMgr, FileLookupsFindTheDocumentByFolderIdAndName) {
    const struct { int folderId; const wchar_t* name; const wchar_t* found; const wchar_t* path; } cases[] = {
        {3, L"bracket.bfprt", L"bracket.bfprt", L"Parts\\bracket.bfprt"},
        {3, L"BRACKET.BFPRT", L"bracket.bfprt", L"Parts\\bracket.bfprt"},
        {3, L"housing.bfprt", L"Housing.BFPRT", L"Parts\\Housing.BFPRT"},
        {4, L"Bracket.bfprt", L"bracket.bfprt", L"Release 2\\Parts\\bracket.bfprt"},
        {5, L"BJ\u00D6RN NOTES.TXT", L"Bj\u00F6rn Notes.txt", L"Docs\\Bj\u00F6rn Notes.txt"},
        {5, L"bracket.bfprt"}, {99, L"bracket.bfprt"}, {3, L"bracket"}, {3, L"bracket.bfprt "}, {3, L""}};
    auto* documents = dynamic_cast<SpDocument*>(m_spMgr->mpoGetProc(SpProcId::Document));
    for (const auto& c : cases) {
        DocFolderIDInfo wanted{c.folderId, c.name, L"C:\\elsewhere\\x"};
        Lst<DocFolderIDInfo*> query, found;
        query.AddTail(&wanted);
        ASSERT_EQ(documents->mhGetFileExist(query, found), 0);
        ASSERT_EQ(found.GetCount(), c.found ? 1 : 0) << c.folderId << "/" << testing::PrintToString(c.name);
        if (!c.found)
            continue;
        const DocFolderIDInfo& answer = *found.Head()->value;
        EXPECT_NE(&answer, &wanted);
        EXPECT_EQ(std::tuple(answer.folderId, answer.fileName, answer.localPath),
                  std::tuple(c.folderId, c.found, std::wstring(L"C:\\Vaults\\Engineering\\") + c.path));
        IMalloc* allocator = nullptr;
        ASSERT_EQ(CoGetMalloc(1, &allocator), S_OK);
        EXPECT_EQ(allocator->DidAlloc(found.Head()), 1);
        allocator->Release();
        found.ForEach([](DocFolderIDInfo* info) { delete info; });
    }
    Lst<DocFolderIDInfo*> none, found;
    EXPECT_EQ(documents->mhGetFileExist(none, found), 0);
    EXPECT_TRUE(found.IsEmpty());
}

} // namespace
