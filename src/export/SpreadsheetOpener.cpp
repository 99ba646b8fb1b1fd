#include "export/SpreadsheetOpener.h"

#include <shellapi.h>

#include <cwchar>

#include "export/ExcelImport.h"
#include "export/ExportTexts.h"
#include "export/TempFileCleanup.h"
#include "framework/AfxMessageBox.h"
#include "settings/Registry.h"

namespace {

bool ExcelOwnsCsv() {
    Registry key;
    std::wstring className;
    return key.Open(HKEY_CLASSES_ROOT, L".csv", Registry::kRead, false) &&
           key.GetString(nullptr, className) && ::_wcsicmp(className.c_str(), L"Excel.CSV") == 0;
}

bool OpenWithShell(HWND owner, const std::wstring& path) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.hwnd = owner;
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExW(&info)) {
        const std::wstring format = ExportText(ExportTexts::kPreviewFile, 59,
            L"Could not open the program associated with the temporary file '%s'.");
        const std::wstring text = FormatWithString(format, path);
        AfxMessageBox(text.c_str(), MB_OK);
        ::DeleteFileW(path.c_str());
        return false;
    }
    // Without a thread the file stays in the temporary folder; it was handed on all the same.
    static_cast<void>(StartTempFileCleanup(info.hProcess, path));
    return true;
}

}  // namespace

bool OpenCsvInSpreadsheet(HWND owner, const std::wstring& path) {
    if (ExcelOwnsCsv() && OpenInExcel(path)) return true;
    return OpenWithShell(owner, path);
}
