#include "framework/CFileDialog.h"

#include <shobjidl.h>
#include <wrl/client.h>

#include <algorithm>

#include "base/ScopedHandle.h"

using Microsoft::WRL::ComPtr;

namespace {

std::vector<std::pair<std::wstring, std::wstring>> ParseFilter(const wchar_t* filter) {
    std::vector<std::pair<std::wstring, std::wstring>> types;
    if (!filter) return types;
    std::vector<std::wstring> parts;
    std::wstring part;
    for (const wchar_t* p = filter; *p; ++p) {
        if (*p == L'|') {
            parts.push_back(part);
            part.clear();
        } else {
            part += *p;
        }
    }
    if (!part.empty()) parts.push_back(part);
    // An empty description ends the list, as the closing "||" does.
    for (size_t i = 0; i + 1 < parts.size() && !parts[i].empty(); i += 2)
        types.emplace_back(parts[i], parts[i + 1]);
    return types;
}

}  // namespace

CFileDialog::CFileDialog(bool openFileDialog, const wchar_t* defaultExtension, const wchar_t* fileName,
                         DWORD flags, const wchar_t* filter, HWND parent, bool vistaStyle)
    : m_open(openFileDialog),
      m_defaultExtension(defaultExtension ? defaultExtension : L""),
      m_fileName(fileName ? fileName : L""),
      m_flags(flags),
      m_parent(parent),
      m_vistaStyle(vistaStyle),
      m_fileTypes(ParseFilter(filter)) {}

INT_PTR CFileDialog::DoModal() {
    m_pathName.clear();
    if (m_vistaStyle) {
        const HRESULT hr = ShowItemDialog();
        if (hr == S_OK) return IDOK;
        if (hr == S_FALSE) return IDCANCEL;
    }
    return ShowClassicDialog();
}

std::wstring CFileDialog::GetFileName() const {
    const size_t slash = m_pathName.find_last_of(L"\\/");
    return slash == std::wstring::npos ? m_pathName : m_pathName.substr(slash + 1);
}

DWORD CFileDialog::ItemDialogOptions(DWORD current) const noexcept {
    DWORD options = current | FOS_FORCEFILESYSTEM;
    if (m_flags & OFN_OVERWRITEPROMPT) options |= FOS_OVERWRITEPROMPT;
    if (m_flags & OFN_FILEMUSTEXIST) options |= FOS_FILEMUSTEXIST;
    if (m_flags & OFN_PATHMUSTEXIST) options |= FOS_PATHMUSTEXIST;
    if (m_flags & OFN_NOCHANGEDIR) options |= FOS_NOCHANGEDIR;
    if (m_flags & OFN_CREATEPROMPT) options |= FOS_CREATEPROMPT;
    if (m_flags & OFN_NOREADONLYRETURN) options |= FOS_NOREADONLYRETURN;
    if (m_flags & OFN_NOTESTFILECREATE) options |= FOS_NOTESTFILECREATE;
    if (m_flags & OFN_NODEREFERENCELINKS) options |= FOS_NODEREFERENCELINKS;
    if (m_flags & OFN_DONTADDTORECENT) options |= FOS_DONTADDTORECENT;
    return options;
}

HRESULT CFileDialog::ShowItemDialog() {
    ComPtr<IFileDialog> dialog;
    HRESULT hr = m_open ? ::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_PPV_ARGS(dialog.GetAddressOf()))
                        : ::CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_PPV_ARGS(dialog.GetAddressOf()));
    if (FAILED(hr)) return hr;

    DWORD options = 0;
    if (FAILED(hr = dialog->GetOptions(&options))) return hr;
    if (FAILED(hr = dialog->SetOptions(ItemDialogOptions(options)))) return hr;

    if (!m_fileTypes.empty()) {
        std::vector<COMDLG_FILTERSPEC> filters;
        filters.reserve(m_fileTypes.size());
        for (const auto& type : m_fileTypes) filters.push_back({type.first.c_str(), type.second.c_str()});
        if (FAILED(hr = dialog->SetFileTypes(static_cast<UINT>(filters.size()), filters.data()))) return hr;
        if (FAILED(hr = dialog->SetFileTypeIndex(1))) return hr;
    }
    if (!m_defaultExtension.empty() && FAILED(hr = dialog->SetDefaultExtension(m_defaultExtension.c_str())))
        return hr;
    if (!m_fileName.empty() && FAILED(hr = dialog->SetFileName(m_fileName.c_str()))) return hr;

    hr = dialog->Show(m_parent);
    if (hr == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return S_FALSE;
    // Once the dialog was up, a failure is the user's answer too: showing the classic one
    // after it would ask twice.
    if (FAILED(hr)) return S_FALSE;

    ComPtr<IShellItem> item;
    if (FAILED(dialog->GetResult(item.GetAddressOf()))) return S_FALSE;
    ScopedCoTaskMem<wchar_t> path;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, path.put())) || !path) return S_FALSE;
    m_pathName = path.get();
    return S_OK;
}

INT_PTR CFileDialog::ShowClassicDialog() {
    // The classic dialog wants every part ended by a zero and the list by one more.
    std::wstring filter;
    for (const auto& type : m_fileTypes) {
        filter += type.first;
        filter += L'\0';
        filter += type.second;
        filter += L'\0';
    }
    filter += L'\0';

    std::wstring file(MAX_PATH, L'\0');
    m_fileName.copy(file.data(), std::min<size_t>(m_fileName.size(), file.size() - 1));

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_parent;
    ofn.lpstrFilter = m_fileTypes.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = m_defaultExtension.empty() ? nullptr : m_defaultExtension.c_str();
    ofn.Flags = m_flags | OFN_EXPLORER;
    const BOOL chosen = m_open ? ::GetOpenFileNameW(&ofn) : ::GetSaveFileNameW(&ofn);
    if (!chosen) return IDCANCEL;
    m_pathName = file.c_str();
    return IDOK;
}
