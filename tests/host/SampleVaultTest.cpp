// The sample vault shipped in samples/: it loads, every path it names exists on disk, and it
// holds the shapes the demo and manual checks rely on.
#include <gtest/gtest.h>
#include <algorithm>
#include <cwctype>
#include <map>
#include "HostTestSupport.h"
#include "dbcall/VaultData.h"

namespace {

bool IsFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(SampleVault, LoadsAndEveryFileItNamesExistsAsAVaultDocument) {
    const std::filesystem::path path = lineage_test::SourceFolder() / L"samples" / L"engineering.vault.json";
    VaultData vault;
    std::wstring error;
    ASSERT_TRUE(LoadVaultFile(path.wstring(), vault, error)) << WideToUtf8(error);
    EXPECT_EQ(vault.name, L"Engineering");
    EXPECT_EQ(vault.root, path.parent_path().wstring() + L"\\files\\");
    ASSERT_FALSE(vault.documents.empty());
    for (const VaultDocument& document : vault.documents)
        EXPECT_TRUE(IsFile(vault.root + document.folder + document.name)) << WideToUtf8(document.name);

    auto spMgr = CreateVaultSpMgr(std::make_shared<const VaultData>(vault));
    auto* documents = dynamic_cast<SpDocument*>(spMgr->mpoGetProc(SpProcId::Document));
    const auto isDocument = [&](int folderId, const std::wstring& name) {
        DocFolderIDInfo wanted{folderId, name, L""};
        Lst<DocFolderIDInfo*> query, found;
        query.AddTail(&wanted);
        const bool exists = documents->mhGetFileExist(query, found) == 0 && !found.IsEmpty();
        found.ForEach([](DocFolderIDInfo* info) { delete info; });
        return exists;
    };
    std::map<int, const VaultBranch*> branches;
    bool withoutExtension = false, upperCaseExtension = false, mixedCaseExtension = false;
    for (const VaultBranch& branch : vault.branches) {
        branches[branch.id] = &branch;
        for (const VaultBranchFile& file : branch.files) {
            SCOPED_TRACE(WideToUtf8(file.sourceFolder + file.sourceName + L" -> " + file.branchFolder + file.branchName));
            EXPECT_TRUE(IsFile(vault.root + file.sourceFolder + file.sourceName));
            EXPECT_TRUE(IsFile(vault.root + file.branchFolder + file.branchName));
            EXPECT_TRUE(isDocument(file.sourceFolderId, file.sourceName) && isDocument(file.branchFolderId, file.branchName));
            const size_t dot = file.sourceName.rfind(L'.');
            const std::wstring extension = dot == std::wstring::npos ? L"" : file.sourceName.substr(dot + 1);
            const bool upper = std::any_of(extension.begin(), extension.end(), iswupper);
            const bool lower = std::any_of(extension.begin(), extension.end(), iswlower);
            withoutExtension |= dot == std::wstring::npos;
            upperCaseExtension |= upper && !lower;
            mixedCaseExtension |= upper && lower;
        }
    }
    EXPECT_TRUE(withoutExtension && upperCaseExtension && mixedCaseExtension) << "the extension cases";

    // The demo opens Release 2 (branch 7) from bracket.bfprt (document 11), its last file.
    ASSERT_TRUE(branches.count(7) && branches.count(8) && branches.count(9) && branches.count(10));
    const auto& release = branches[7]->files;
    ASSERT_GE(release.size(), 2u);
    const auto isFocus = [](const VaultBranchFile& file) { return file.sourceDocId == 11; };
    EXPECT_TRUE(isFocus(release.back()) && std::count_if(release.begin(), release.end(), isFocus) == 1);
    const auto isShared = [](const VaultBranchFile& file) { return file.shared; };
    EXPECT_TRUE(std::none_of(release.begin(), release.end(), isShared));
    const auto& customer = branches[8]->files;  // shared and unshared files
    const auto shared = std::count_if(customer.begin(), customer.end(), isShared);
    EXPECT_TRUE(shared > 0 && static_cast<size_t>(shared) < customer.size());
    EXPECT_TRUE(branches[9]->files.empty());
    EXPECT_EQ(branches[9]->created + branches[10]->created, 0.0) << "branches without a date";
    EXPECT_NE(branches[7]->created, 0.0);
}

} // namespace
