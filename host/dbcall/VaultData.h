#pragma once
// The host's side of Dbcall.dll: the vault the stored procedures answer from, how it is read
// from a vault file, and the manager handed to the module. None of this is seen by the module.
#include "contracts/Dbcall.h"
#include <memory>
#include <string>
#include <vector>

struct VaultDocument {
    int id = 0;
    int folderId = 0;
    std::wstring name;    // file name
    std::wstring folder;  // below the vault root, with its own trailing separator
};

struct VaultBranchFile {
    int sourceDocId = 0;
    int sourceFolderId = 0;
    int branchDocId = 0;
    int branchFolderId = 0;
    std::wstring sourceName;
    std::wstring branchName;
    std::wstring sourceFolder;
    std::wstring branchFolder;
    bool shared = false;
};

struct VaultBranch {
    int id = 0;
    std::wstring name;
    std::wstring creator;
    double created = 0.0;  // automation date; 0.0 means none
    std::vector<VaultBranchFile> files;  // in the order the branch procedure returns them
};

struct VaultData {
    std::wstring name;
    std::wstring root;  // absolute folder path, prefix of every document path
    std::vector<VaultDocument> documents;
    std::vector<VaultBranch> branches;
};

// Reads the UTF-8 JSON vault file at `path`. On success fills `vault` and answers true. On
// failure answers false, leaves `vault` untouched and sets `error` to one line naming `path`
// and what is wrong with it (with the byte position when the JSON itself is malformed).
[[nodiscard]] DBCALL_API bool LoadVaultFile(const std::wstring& path, VaultData& vault,
                                            std::wstring& error) noexcept;

// Makes the stored-procedure manager over `vault`: procedure 68 is the branch procedure,
// 12 the document procedure, every other id null. The caller owns the manager; the vault is
// shared with it and must not change while it lives. Null when memory runs out.
[[nodiscard]] DBCALL_API std::unique_ptr<SpMgr> CreateVaultSpMgr(
    std::shared_ptr<const VaultData> vault) noexcept;

// Branch file records constructed and not yet destroyed in this process: lets a host check
// that whoever received records deleted them.
[[nodiscard]] DBCALL_API long LiveBranchFileRecords() noexcept;
