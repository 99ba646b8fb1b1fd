#include "framework/AfxMessageBox.h"

#include <string>

namespace {

// The module runs inside its host, so the application is the host's executable: its file
// name without folder and extension, as a caption the user recognises.
std::wstring ApplicationName() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot > 0) name.resize(dot);
    return name;
}

}  // namespace

int AfxMessageBox(const wchar_t* text, UINT type, UINT /*helpId*/) {
    const std::wstring caption = ApplicationName();
    return ::MessageBoxW(::GetActiveWindow(), text ? text : L"", caption.c_str(), type);
}
