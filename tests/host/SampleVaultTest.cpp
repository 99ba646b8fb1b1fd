// The sample vault shipped in samples/: it loads, every path it names exists on disk, and it
// holds the shapes the demo and manual checks rely on.
#include <gtest/gtest.h>
#include "HostTestSupport.h"
#include "dbcall/VaultData.h"
#include <algorithm>
#include <cwctype>

namespace {

namespace fs = std::filesystem;

class SampleVault : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path source = host_test::SourceFolder();
        ASSERT_FALSE(source.empty()) << "LINEAGE_SOURCE_DIR names the source tree";
        m_path = source / L"samples" / L"engineering.vault.json";
        std::wstring error;
        ASSERT_TRUE(LoadVaultFile(m_path.wstring(), m_vault, error)) << host_test::WideToUtf8(error);
    }

    const VaultBranch& Branch(int id) const {
        const auto it = std::find_if(m_vault.branches.begin(), m_vault.branches.end(),
                                     [id](const VaultBranch& branch) { return branch.id == id; });
        if (it == m_vault.branches.end())
            throw std::runtime_error("no branch " + std::to_string(id));
        return *it;
    }

    static bool Exists(const std::wstring& path) {
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    fs::path m_path;
    VaultData m_vault;
};

TEST_F(SampleVault, RootIsTheFilesFolderBesideIt) {
    EXPECT_EQ(m_vault.name, L"Engineering");
    EXPECT_EQ(m_vault.root, m_path.parent_path().wstring() + L"\\files\\");
}

TEST_F(SampleVault, EveryDocumentExistsOnDisk) {
    ASSERT_FALSE(m_vault.documents.empty());
    for (const VaultDocument& document : m_vault.documents) {
        const std::wstring path = m_vault.root + document.folder + document.name;
        EXPECT_TRUE(Exists(path)) << host_test::WideToUtf8(path);
    }
}

TEST_F(SampleVault, EveryBranchedFileExistsAndIsAVaultDocument) {
    auto spMgr = CreateVaultSpMgr(std::make_shared<const VaultData>(m_vault));
    auto* documents = dynamic_cast<SpDocument*>(spMgr->mpoGetProc(SpProcId::Document));
    ASSERT_NE(documents, nullptr);
    const auto isDocument = [&](int folderId, const std::wstring& name) {
        DocFolderIDInfo wanted{folderId, name, L""};
        Lst<DocFolderIDInfo*> query;
        query.AddTail(&wanted);
        Lst<DocFolderIDInfo*> found;
        const bool exists = documents->mhGetFileExist(query, found) == 0 && !found.IsEmpty();
        found.ForEach([](DocFolderIDInfo* info) { delete info; });
        return exists;
    };
    for (const VaultBranch& branch : m_vault.branches) {
        for (const VaultBranchFile& file : branch.files) {
            const std::wstring source = m_vault.root + file.sourceFolder + file.sourceName;
            const std::wstring branched = m_vault.root + file.branchFolder + file.branchName;
            EXPECT_TRUE(Exists(source)) << host_test::WideToUtf8(source);
            EXPECT_TRUE(Exists(branched)) << host_test::WideToUtf8(branched);
            EXPECT_TRUE(isDocument(file.sourceFolderId, file.sourceName)) << host_test::WideToUtf8(source);
            EXPECT_TRUE(isDocument(file.branchFolderId, file.branchName)) << host_test::WideToUtf8(branched);
        }
    }
}

// The demo opens Release 2 (branch 7) from bracket.bfprt (document 11).
TEST_F(SampleVault, ReleaseTwoReturnsTheDemoFocusFileLast) {
    const VaultBranch& release = Branch(7);
    ASSERT_GE(release.files.size(), 2u);
    EXPECT_EQ(release.files.back().sourceDocId, 11);
    for (size_t i = 0; i + 1 < release.files.size(); ++i)
        EXPECT_NE(release.files[i].sourceDocId, 11);
    EXPECT_TRUE(std::none_of(release.files.begin(), release.files.end(),
                             [](const VaultBranchFile& file) { return file.shared; }));
}

TEST_F(SampleVault, CustomerBranchMixesSharedAndUnsharedFiles) {
    const VaultBranch& customer = Branch(8);
    const auto shared = std::count_if(customer.files.begin(), customer.files.end(),
                                      [](const VaultBranchFile& file) { return file.shared; });
    EXPECT_GT(shared, 0);
    EXPECT_LT(static_cast<size_t>(shared), customer.files.size());
}

TEST_F(SampleVault, HasABranchWithoutFilesAndBranchesWithoutDate) {
    EXPECT_TRUE(Branch(9).files.empty());
    EXPECT_EQ(Branch(9).created, 0.0);
    EXPECT_EQ(Branch(10).created, 0.0);
    EXPECT_NE(Branch(7).created, 0.0);
}

TEST_F(SampleVault, SourceNamesCoverTheExtensionCases) {
    bool withoutExtension = false;
    bool upperCaseExtension = false;
    bool mixedCaseExtension = false;
    for (const VaultBranch& branch : m_vault.branches) {
        for (const VaultBranchFile& file : branch.files) {
            const size_t dot = file.sourceName.rfind(L'.');
            if (dot == std::wstring::npos) {
                withoutExtension = true;
                continue;
            }
            const std::wstring extension = file.sourceName.substr(dot + 1);
            const bool anyUpper = std::any_of(extension.begin(), extension.end(), iswupper);
            const bool anyLower = std::any_of(extension.begin(), extension.end(), iswlower);
            upperCaseExtension |= anyUpper && !anyLower;
            mixedCaseExtension |= anyUpper && anyLower;
        }
    }
    EXPECT_TRUE(withoutExtension);
    EXPECT_TRUE(upperCaseExtension);
    EXPECT_TRUE(mixedCaseExtension);
}

} // namespace
