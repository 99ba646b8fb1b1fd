#pragma once
#include <memory>
#include "DialogSession.h"
#include "TestVault.h"
#include "dbcall/VaultData.h"
#include "module/resource.h"

namespace lineage_test {

constexpr wchar_t kWindowState[] =
    L"Software\\Brightfold\\Applications\\Ledgerix Enterprise\\Window State\\BranchDetails";

inline void ForgetWindowState() { ::RegDeleteTreeW(HKEY_CURRENT_USER, kWindowState); }

// A column width remembered under `columnSet`; 0 when there is none.
inline DWORD RememberedWidth(const wchar_t* columnSet, const wchar_t* column) {
    DWORD width = 0, size = sizeof(width);
    ::RegGetValueW(HKEY_CURRENT_USER, (std::wstring(kWindowState) + L"\\" + columnSet).c_str(), column,
                   RRF_RT_REG_DWORD, nullptr, &width, &size);
    return width;
}

inline VaultBranchFile BranchFile(int sourceDocId, int branchDocId, const wchar_t* name, const wchar_t* sourceFolder,
                                  const wchar_t* branchFolder, bool shared = false) {
    return {sourceDocId, 1, branchDocId, 2, name, name, sourceFolder, branchFolder, shared};
}

class BranchDialog {
public:
    // `openedId` defaults to the branch's own id.
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
