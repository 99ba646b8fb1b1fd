#pragma once
// The dialog opened on one branch of a vault held in memory, as the host opens it.
#include <memory>
#include "DialogSession.h"
#include "TestVault.h"
#include "dbcall/VaultData.h"
#include "module/resource.h"

namespace lineage_test {

inline VaultBranchFile BranchFile(int sourceDocId, int branchDocId, const wchar_t* name, const wchar_t* sourceFolder,
                                  const wchar_t* branchFolder, bool shared = false) {
    return {sourceDocId, 1, branchDocId, 2, name, name, sourceFolder, branchFolder, shared};
}

class BranchDialog {
public:
    // Opens `openedId` (default: the branch's own id) with `focusDocId`, rooted at C:\vault\.
    explicit BranchDialog(const VaultBranch& branch, int focusDocId = 0, int openedId = -1)
        : m_spMgr(CreateVaultSpMgr(std::make_shared<VaultData>(VaultData{L"Engineering", kRoot, {}, {branch}}))),
          m_session({focusDocId, openedId < 0 ? branch.id : openedId, m_spMgr.get(), &m_vault}) {
        m_session.WaitForDialog();
    }
    static constexpr const wchar_t* kRoot = L"C:\\vault\\";
    DialogSession& operator*() { return m_session; }
    DialogSession* operator->() { return &m_session; }
    HWND List() const { return m_session.Item(IDC_FILE_LIST); }

private:
    TestVault m_vault{L"Engineering", kRoot};
    std::unique_ptr<SpMgr> m_spMgr;
    DialogSession m_session;
};

} // namespace lineage_test
