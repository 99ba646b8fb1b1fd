#pragma once
#include <windows.h>
#include <commdlg.h>
#include <string>
#include <utility>
#include <vector>

// The common file dialog, open or save. The Vista-style item dialog is shown when asked for
// and available; otherwise, or when it cannot be created, the classic dialog is shown.
class CFileDialog {
public:
    // `filter` pairs a description and a pattern per file type, every part ended by '|', as in
    // "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||".
    CFileDialog(bool openFileDialog, const wchar_t* defaultExtension = nullptr,
                const wchar_t* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                const wchar_t* filter = nullptr, HWND parent = nullptr,
                bool vistaStyle = true);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;
    ~CFileDialog() = default;

    // IDOK when the user chose a file; IDCANCEL when the user cancelled or no dialog could be shown.
    virtual INT_PTR DoModal();

    // The chosen file's full path; empty before DoModal answered IDOK.
    const std::wstring& GetPathName() const noexcept { return m_pathName; }
    // The chosen file's name without its folder.
    std::wstring GetFileName() const;
    // The file types offered, as parsed from the filter: (description, pattern).
    const std::vector<std::pair<std::wstring, std::wstring>>& GetFileTypes() const noexcept {
        return m_fileTypes;
    }

private:
    // S_FALSE when the user cancelled; a failure when the item dialog is not available.
    [[nodiscard]] HRESULT ShowItemDialog();
    INT_PTR ShowClassicDialog();
    DWORD ItemDialogOptions(DWORD current) const noexcept;

    bool m_open;
    std::wstring m_defaultExtension;
    std::wstring m_fileName;
    DWORD m_flags;
    HWND m_parent;
    bool m_vistaStyle;
    std::vector<std::pair<std::wstring, std::wstring>> m_fileTypes;
    std::wstring m_pathName;
};
