#pragma once
#include <string>
#include <string_view>
#include "listview/VListCtrlItem.h"

class FileTypeImages;

// One branched file in the dialog's list: the source file's type icon, the source and branch
// paths in full, and whether the file is shared.
//
// The two full paths are the only text a row stores: folder, name and extension are views
// into them. A branch may list a million files, and the row's cost stays close to the bytes
// of its two paths.
class BranchedFileItem : public VListCtrlItem {
public:
    BranchedFileItem(const wchar_t* vaultRoot, int sourceDocId, int sourceFolderId, int thirdId, int branchDocId,
                     double value, int branchFolderId, const wchar_t* sourceName, const wchar_t* branchName,
                     const wchar_t* sourceFolder, const wchar_t* branchFolder, bool shared);
    ~BranchedFileItem() override;

    void GetText(int column, wchar_t* buffer, int size) override;
    int GetColumnImage(int column) override;
    int Compare(VListCtrlItem& other, int key) override;

    std::wstring_view SourcePath() const noexcept { return m_sourcePath; }
    std::wstring_view BranchPath() const noexcept { return m_branchPath; }
    std::wstring_view VaultRoot() const noexcept { return SourcePath().substr(0, m_rootLength); }
    std::wstring_view SourceFolder() const noexcept { return SourcePath().substr(m_rootLength, m_sourceFolderLength); }
    std::wstring_view SourceName() const noexcept { return SourcePath().substr(m_rootLength + m_sourceFolderLength); }
    std::wstring_view BranchFolder() const noexcept { return BranchPath().substr(m_rootLength, m_branchFolderLength); }
    std::wstring_view BranchName() const noexcept { return BranchPath().substr(m_rootLength + m_branchFolderLength); }
    // The source name after its last "."; empty when it has none. Letter case kept.
    std::wstring_view Extension() const noexcept;

    const int sourceDocId;
    const int sourceFolderId;
    const int branchDocId;
    const int branchFolderId;
    const bool shared;
    FileTypeImages* images = nullptr;  // the dialog's type icons; not owned

    // Rows alive in the process: whoever made rows can check that all were released.
    static long LiveCount() noexcept;

private:
    std::wstring m_sourcePath;
    std::wstring m_branchPath;
    unsigned m_rootLength;
    unsigned m_sourceFolderLength;
    unsigned m_branchFolderLength;
};
