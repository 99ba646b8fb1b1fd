// The stored procedures as the module calls them, answered from an in-memory vault.
#include <gtest/gtest.h>
#include "dbcall/VaultData.h"
#include <memory>
#include <utility>

namespace {

std::shared_ptr<const VaultData> SmallVault() {
    auto vault = std::make_shared<VaultData>();
    vault->name = L"Engineering";
    vault->root = L"C:\\Vaults\\Engineering\\";
    vault->documents = {
        {11, 3, L"bracket.bfprt", L"Parts\\"},
        {12, 3, L"Housing.BFPRT", L"Parts\\"},
        {21, 4, L"bracket.bfprt", L"Release 2\\Parts\\"},
        {30, 5, L"Bj\u00F6rn Notes.txt", L"Docs\\"},
    };
    VaultBranch release{7, L"Release 2", L"anna", 32104.5, {}};
    release.files = {
        {12, 3, 22, 4, L"Housing.BFPRT", L"Housing.BFPRT", L"Parts\\", L"Release 2\\Parts\\", false},
        {11, 3, 21, 4, L"bracket.bfprt", L"bracket-r2.bfprt", L"Parts\\", L"Release 2\\Parts\\", true},
    };
    vault->branches = {release, VaultBranch{8, L"Empty", L"chen", 0.0, {}}};
    return vault;
}

class VaultSpMgr : public ::testing::Test {
protected:
    SpBranch* Branches() const { return dynamic_cast<SpBranch*>(m_spMgr->mpoGetProc(SpProcId::Branch)); }
    SpDocument* Documents() const { return dynamic_cast<SpDocument*>(m_spMgr->mpoGetProc(SpProcId::Document)); }

    std::unique_ptr<SpMgr> m_spMgr = CreateVaultSpMgr(SmallVault());
};

// The caller owns every record it is handed and deletes it.
struct OwnedRecords {
    std::vector<SpBranchFileInfo*> records;
    ~OwnedRecords() {
        for (SpBranchFileInfo* record : records)
            delete record;
    }
};

struct OwnedAnswers {
    Lst<DocFolderIDInfo*> list;
    ~OwnedAnswers() {
        list.ForEach([](DocFolderIDInfo* info) { delete info; });
    }
};

TEST_F(VaultSpMgr, BranchAndDocumentProceduresHaveTheirIds) {
    ASSERT_NE(m_spMgr, nullptr);
    EXPECT_NE(Branches(), nullptr);
    EXPECT_NE(Documents(), nullptr);
    EXPECT_EQ(m_spMgr->mpoGetProc(SpProcId::Branch), m_spMgr->mpoGetProc(SpProcId::Branch)) << "one object per procedure";
}

TEST_F(VaultSpMgr, OtherProcedureIdsAreNull) {
    for (SPID id : {0, 1, 11, 13, 67, 69, 100, -1, -68})
        EXPECT_EQ(m_spMgr->mpoGetProc(id), nullptr) << id;
}

TEST_F(VaultSpMgr, WithoutAVaultThereIsNoManager) {
    EXPECT_EQ(CreateVaultSpMgr(nullptr), nullptr);
}

TEST_F(VaultSpMgr, UnknownBranchFailsAndHandsNothingOver) {
    for (long id : {0L, 6L, 9L, -7L}) {
        SpBranchBasicInfo info;
        OwnedRecords files;
        EXPECT_NE(Branches()->mhGetBranchDetails(id, info, files.records), 0) << id;
        EXPECT_TRUE(files.records.empty()) << id;
        EXPECT_STREQ(info.name, L"") << id;
    }
}

TEST_F(VaultSpMgr, BranchDetailsFillTheHeader) {
    SpBranchBasicInfo info;
    OwnedRecords files;
    ASSERT_EQ(Branches()->mhGetBranchDetails(7, info, files.records), 0);
    EXPECT_STREQ(info.name, L"Release 2");
    EXPECT_STREQ(info.creator, L"anna");
    EXPECT_EQ(info.created, 32104.5);
}

TEST_F(VaultSpMgr, BranchDetailsGiveOneRecordPerFileInStoredOrder) {
    SpBranchBasicInfo info;
    OwnedRecords files;
    ASSERT_EQ(Branches()->mhGetBranchDetails(7, info, files.records), 0);
    ASSERT_EQ(files.records.size(), 2u);

    const SpBranchFileInfo& housing = *files.records[0];
    EXPECT_EQ(housing.sourceDocId, 12);
    EXPECT_STREQ(housing.sourceName, L"Housing.BFPRT");
    EXPECT_FALSE(housing.shared);

    const SpBranchFileInfo& bracket = *files.records[1];
    EXPECT_EQ(bracket.sourceDocId, 11);
    EXPECT_EQ(bracket.sourceFolderId, 3);
    EXPECT_EQ(bracket.branchDocId, 21);
    EXPECT_EQ(bracket.branchFolderId, 4);
    EXPECT_STREQ(bracket.sourceName, L"bracket.bfprt");
    EXPECT_STREQ(bracket.branchName, L"bracket-r2.bfprt");
    EXPECT_STREQ(bracket.sourceFolder, L"Parts\\");
    EXPECT_STREQ(bracket.branchFolder, L"Release 2\\Parts\\");
    EXPECT_TRUE(bracket.shared);
    EXPECT_EQ(bracket.thirdId, 0);
    EXPECT_EQ(bracket.value, 0.0);
}

TEST_F(VaultSpMgr, BranchWithoutFilesSucceedsWithAHeaderOnly) {
    SpBranchBasicInfo info;
    OwnedRecords files;
    EXPECT_EQ(Branches()->mhGetBranchDetails(8, info, files.records), 0);
    EXPECT_STREQ(info.name, L"Empty");
    EXPECT_EQ(info.created, 0.0);
    EXPECT_TRUE(files.records.empty());
}

TEST_F(VaultSpMgr, EveryCallHandsOutItsOwnRecordsForTheCallerToDelete) {
    SpBranchBasicInfo info;
    OwnedRecords first;
    OwnedRecords second;
    ASSERT_EQ(Branches()->mhGetBranchDetails(7, info, first.records), 0);
    ASSERT_EQ(Branches()->mhGetBranchDetails(7, info, second.records), 0);
    ASSERT_EQ(first.records.size(), 2u);
    ASSERT_EQ(second.records.size(), 2u);
    EXPECT_NE(first.records[0], second.records[0]);

    for (SpBranchFileInfo* record : first.records)
        delete record;  // through the library's destructor, as the module does
    first.records.clear();
    EXPECT_STREQ(second.records[0]->sourceName, L"Housing.BFPRT");
    EXPECT_STREQ(second.records[1]->branchFolder, L"Release 2\\Parts\\");
}

TEST_F(VaultSpMgr, RecordsAreAppendedAfterWhatTheVectorHeld) {
    SpBranchBasicInfo info;
    OwnedRecords files;
    files.records.push_back(new SpBranchFileInfo);
    ASSERT_EQ(Branches()->mhGetBranchDetails(7, info, files.records), 0);
    ASSERT_EQ(files.records.size(), 3u);
    EXPECT_EQ(files.records[0]->sourceDocId, 0);
    EXPECT_EQ(files.records[2]->sourceDocId, 11);
}

TEST_F(VaultSpMgr, RecordStringsAreCopiesTheCallerMayKeepAndCopy) {
    SpBranchBasicInfo info;
    OwnedRecords files;
    ASSERT_EQ(Branches()->mhGetBranchDetails(7, info, files.records), 0);
    SpStr kept = files.records[1]->branchName;
    SpStr assigned;
    assigned = kept;
    delete files.records[1];
    files.records.pop_back();
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

struct FileQuery {
    int folderId;
    const wchar_t* fileName;
    bool exists;
    const wchar_t* vaultName;  // the document's own spelling when found
    const wchar_t* localPath;
};

void PrintTo(const FileQuery& query, std::ostream* out) {
    *out << query.folderId << "/" << testing::PrintToString(std::wstring(query.fileName));
}

class VaultSpMgrFileExist : public VaultSpMgr, public ::testing::WithParamInterface<FileQuery> {};

TEST_P(VaultSpMgrFileExist, FindsTheDocumentByFolderIdAndName) {
    const FileQuery& query = GetParam();
    DocFolderIDInfo wanted{query.folderId, query.fileName, L"C:\\elsewhere\\" + std::wstring(query.fileName)};
    Lst<DocFolderIDInfo*> queryList;
    queryList.AddTail(&wanted);
    OwnedAnswers found;

    ASSERT_EQ(Documents()->mhGetFileExist(queryList, found.list), 0);
    if (!query.exists) {
        EXPECT_TRUE(found.list.IsEmpty());
        return;
    }
    ASSERT_EQ(found.list.GetCount(), 1);
    const DocFolderIDInfo& answer = *found.list.Head()->value;
    EXPECT_NE(&answer, &wanted) << "the answer is a new record";
    EXPECT_EQ(answer.folderId, query.folderId);
    EXPECT_EQ(answer.fileName, query.vaultName);
    EXPECT_EQ(answer.localPath, query.localPath);
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, VaultSpMgrFileExist,
    ::testing::Values(
        FileQuery{3, L"bracket.bfprt", true, L"bracket.bfprt", L"C:\\Vaults\\Engineering\\Parts\\bracket.bfprt"},
        FileQuery{3, L"BRACKET.BFPRT", true, L"bracket.bfprt", L"C:\\Vaults\\Engineering\\Parts\\bracket.bfprt"},
        FileQuery{3, L"housing.bfprt", true, L"Housing.BFPRT", L"C:\\Vaults\\Engineering\\Parts\\Housing.BFPRT"},
        FileQuery{4, L"Bracket.bfprt", true, L"bracket.bfprt",
                  L"C:\\Vaults\\Engineering\\Release 2\\Parts\\bracket.bfprt"},
        FileQuery{5, L"BJ\u00D6RN NOTES.TXT", true, L"Bj\u00F6rn Notes.txt",
                  L"C:\\Vaults\\Engineering\\Docs\\Bj\u00F6rn Notes.txt"},
        FileQuery{5, L"bracket.bfprt", false, nullptr, nullptr},  // another folder's file
        FileQuery{99, L"bracket.bfprt", false, nullptr, nullptr},
        FileQuery{3, L"bracket", false, nullptr, nullptr},
        FileQuery{3, L"bracket.bfprt ", false, nullptr, nullptr},
        FileQuery{3, L"", false, nullptr, nullptr}));

TEST_F(VaultSpMgr, EmptyFileQueryFindsNothing) {
    Lst<DocFolderIDInfo*> query;
    OwnedAnswers found;
    EXPECT_EQ(Documents()->mhGetFileExist(query, found.list), 0);
    EXPECT_TRUE(found.list.IsEmpty());
}

TEST_F(VaultSpMgr, FoundListNodesComeFromTheComTaskAllocator) {
    DocFolderIDInfo wanted{3, L"bracket.bfprt", L""};
    Lst<DocFolderIDInfo*> query;
    query.AddTail(&wanted);
    OwnedAnswers found;
    ASSERT_EQ(Documents()->mhGetFileExist(query, found.list), 0);
    ASSERT_FALSE(found.list.IsEmpty());

    IMalloc* allocator = nullptr;
    ASSERT_EQ(CoGetMalloc(1, &allocator), S_OK);
    EXPECT_EQ(allocator->DidAlloc(found.list.Head()), 1);
    allocator->Release();
}

} // namespace
