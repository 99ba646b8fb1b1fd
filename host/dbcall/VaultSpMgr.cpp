// The stored procedures the module calls, answered from an in-memory vault. Lookups go through
// indexes built once, so that a vault of a million files answers as fast as a small one.
#include "dbcall/VaultData.h"
#include <memory>
#include <new>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

constexpr long kSpSuccess = 0;
constexpr long kSpUnknownBranch = 1;
constexpr long kSpOutOfMemory = 2;

class VaultBranchProc final : public SpBranch {
public:
    explicit VaultBranchProc(const VaultData& vault) {
        m_byId.reserve(vault.branches.size());
        for (const VaultBranch& branch : vault.branches)
            m_byId.emplace(branch.id, &branch);  // a repeated id keeps its first branch
    }

    long mhGetBranchDetails(long branchId, SpBranchBasicInfo& info,
                            std::vector<SpBranchFileInfo*>& files) override {
        const auto it = m_byId.find(branchId);
        if (it == m_byId.end())
            return kSpUnknownBranch;
        const VaultBranch& branch = *it->second;
        const size_t firstNew = files.size();
        try {
            files.reserve(firstNew + branch.files.size());
            for (const VaultBranchFile& file : branch.files)
                files.push_back(MakeRecord(file).release());  // cannot throw: the room is reserved
            info.name = branch.name.c_str();
            info.creator = branch.creator.c_str();
            info.created = branch.created;
        } catch (const std::bad_alloc&) {
            // A failed call hands nothing over: the caller does not look at the vector then.
            for (size_t i = firstNew; i < files.size(); ++i)
                delete files[i];
            files.resize(firstNew);
            return kSpOutOfMemory;
        }
        return kSpSuccess;
    }

private:
    static std::unique_ptr<SpBranchFileInfo> MakeRecord(const VaultBranchFile& file) {
        auto record = std::make_unique<SpBranchFileInfo>();
        record->sourceDocId = file.sourceDocId;
        record->sourceFolderId = file.sourceFolderId;
        record->branchDocId = file.branchDocId;
        record->branchFolderId = file.branchFolderId;
        record->sourceName = file.sourceName.c_str();
        record->branchName = file.branchName.c_str();
        record->sourceFolder = file.sourceFolder.c_str();
        record->branchFolder = file.branchFolder.c_str();
        record->shared = file.shared;
        return record;
    }

    std::unordered_map<long, const VaultBranch*> m_byId;
};

class VaultDocumentProc final : public SpDocument {
public:
    explicit VaultDocumentProc(const VaultData& vault) : m_root(vault.root) {
        for (const VaultDocument& document : vault.documents)
            m_byFolder[document.folderId].push_back(&document);
    }

    long mhGetFileExist(Lst<DocFolderIDInfo*>& query, Lst<DocFolderIDInfo*>& found) override {
        try {
            for (auto* node = query.Head(); node; node = node->next) {
                if (!node->value)
                    continue;
                if (const VaultDocument* document = Find(node->value->folderId, node->value->fileName))
                    AddAnswer(*document, found);
            }
        } catch (const std::bad_alloc&) {
            return kSpOutOfMemory;
        }
        return kSpSuccess;
    }

private:
    // File names compare as the file system does: ordinal, ignoring letter case.
    static bool SameFileName(const std::wstring& a, const std::wstring& b) noexcept {
        return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                      static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
    }

    const VaultDocument* Find(int folderId, const std::wstring& fileName) const noexcept {
        const auto folder = m_byFolder.find(folderId);
        if (folder == m_byFolder.end())
            return nullptr;
        for (const VaultDocument* document : folder->second)
            if (SameFileName(document->name, fileName))
                return document;
        return nullptr;
    }

    void AddAnswer(const VaultDocument& document, Lst<DocFolderIDInfo*>& found) const {
        auto answer = std::make_unique<DocFolderIDInfo>();
        answer->folderId = document.folderId;
        answer->fileName = document.name;
        answer->localPath = m_root + document.folder + document.name;
        found.AddTail(answer.get());
        answer.release();  // the caller's from here on
    }

    std::wstring m_root;
    std::unordered_map<int, std::vector<const VaultDocument*>> m_byFolder;
};

class VaultSpMgr final : public SpMgr {
public:
    explicit VaultSpMgr(std::shared_ptr<const VaultData> vault)
        : m_vault(std::move(vault)), m_branches(*m_vault), m_documents(*m_vault) {}

    SpProc* mpoGetProc(SPID id) const override {
        switch (id) {
        case SpProcId::Branch:
            return &m_branches;
        case SpProcId::Document:
            return &m_documents;
        default:
            return nullptr;
        }
    }

private:
    std::shared_ptr<const VaultData> m_vault;  // first member: the procedures index into it
    // The contract hands out mutable procedures from a const query.
    mutable VaultBranchProc m_branches;
    mutable VaultDocumentProc m_documents;
};

} // namespace

std::unique_ptr<SpMgr> CreateVaultSpMgr(std::shared_ptr<const VaultData> vault) noexcept {
    if (!vault)
        return nullptr;
    try {
        return std::make_unique<VaultSpMgr>(std::move(vault));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
