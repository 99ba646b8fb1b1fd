#include "framework/AfxMessageBox.h"

#include <string>
#include "base/ModulePath.h"

namespace {

// The module runs inside its host, so the application is the host's executable: its file
// name without folder and extension, as a caption the user recognises.
std::wstring ApplicationName() {
    const std::wstring path = ModulePath(nullptr);
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot > 0) name.resize(dot);
    return name;
}

}  // namespace

int AfxMessageBox(const wchar_t* text, UINT type) {
    const std::wstring caption = ApplicationName();
    return ::MessageBoxW(::GetActiveWindow(), text ? text : L"", caption.c_str(), type);
}
