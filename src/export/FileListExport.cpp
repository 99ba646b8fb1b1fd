#include "export/FileListExport.h"

#include <optional>
#include <string>

#include "export/CsvFileWriter.h"
#include "export/CsvSeparators.h"
#include "export/ExportTexts.h"
#include "export/SpreadsheetOpener.h"
#include "framework/AfxMessageBox.h"
#include "framework/CFileDialog.h"

namespace {

// Headings are read from the list into a buffer of 100 characters.
constexpr size_t kMaxHeadingLength = 99;
constexpr DWORD kTempPathBufferLength = 262;

std::wstring BranchDetailsText(unsigned id, const wchar_t* defaultText) {
    return ExportText(ExportTexts::kDialogFile, id, defaultText);
}

std::wstring FileNameStem() {
    return BranchDetailsText(100, L"Branched Files List");
}

void WriteHeader(CsvFileWriter& writer, const ExportSource& source) {
    writer.WriteField(BranchDetailsText(11, L"Branch Name:") + L" " + source.branchName);
    writer.EndLine();
    writer.WriteField(BranchDetailsText(2, L"Created By:") + L" " + source.creator);
    writer.EndLine();
    writer.WriteField(BranchDetailsText(3, L"Created On:") + L" " + source.createdOn);
    writer.EndLine();
}

void WriteHeadings(CsvFileWriter& writer, const ExportSource& source) {
    for (size_t c = 0; c < source.headings.size(); ++c) {
        const std::wstring heading = c == 0 ? BranchDetailsText(12, L"Index") : source.headings[c];
        writer.WriteField(heading.substr(0, kMaxHeadingLength));
    }
    writer.EndLine();
}

void WriteRows(CsvFileWriter& writer, const ExportSource& source) {
    const int columns = static_cast<int>(source.headings.size());
    for (int r = 0; r < source.rowCount; ++r) {
        for (int c = 0; c < columns; ++c)
            writer.WriteField(c == 0 ? std::to_wstring(r + 1) : source.cellText(r, c));
        writer.EndLine();
    }
}

void ShowFailure() {
    const std::wstring text = BranchDetailsText(102, L"Failed to create file.");
    AfxMessageBox(text.c_str(), MB_OK);
}

// Nothing when the user did not confirm a file.
std::optional<std::wstring> AskForSavePath(HWND owner) {
    const std::wstring fileName = FileNameStem() + L".txt";
    const std::wstring filter =
        BranchDetailsText(101, L"Text Files (*.txt)|*.txt|All Files (*.*)|*.*||");
    CFileDialog dialog(false, L"txt", fileName.c_str(),
                       OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER, filter.c_str(), owner, true);
    if (dialog.DoModal() != IDOK) return std::nullopt;
    return dialog.GetPathName();
}

}  // namespace

std::optional<std::wstring> FindTemporaryExportPath(const std::wstring& stem) {
    wchar_t folder[kTempPathBufferLength] = {};
    const DWORD length = ::GetTempPathW(kTempPathBufferLength, folder);
    if (length == 0 || length >= kTempPathBufferLength) return std::nullopt;
    for (int n = 0;; ++n) {
        std::wstring path = folder;
        path += L'\\';
        path += stem;
        if (n > 0) path += std::to_wstring(n);
        path += L".txt";
        if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return path;
    }
}

void WriteFileList(const ExportSource& source, const std::wstring& path) {
    const CsvSeparators separators = GetCsvSeparators();
    CsvFileWriter writer(separators.separator, separators.replacement);
    writer.Open(path);
    WriteHeader(writer, source);
    WriteHeadings(writer, source);
    WriteRows(writer, source);
    writer.Close();
}

void ExportFileList(const ExportSource& source, int mode) {
    std::optional<std::wstring> path;
    if (mode == kExportOpenAsCsv) {
        path = FindTemporaryExportPath(FileNameStem());
        // No file can be made where none can be named: the same failure as one that cannot open.
        if (!path) {
            ShowFailure();
            return;
        }
    } else {
        path = AskForSavePath(source.owner);
        if (!path) return;
    }

    try {
        WriteFileList(source, *path);
    } catch (const CsvFileWriter::Exception&) {
        // Why it failed is not the user's concern here; the partial file is already gone.
        ShowFailure();
        return;
    }
    // A failure to open has told the user and removed the file: nothing is left to do here.
    if (mode == kExportOpenAsCsv) static_cast<void>(OpenCsvInSpreadsheet(source.owner, *path));
}
