#pragma once
// "Open as CSV" and "Save as CSV" of the branch details: the list as the user sees it,
// written as delimited UTF-16 text.
#include <windows.h>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Everything the export writes, as the list shows it when the command runs.
struct ExportSource {
    // Parent of the save dialog and the window the shell reports to.
    HWND owner = nullptr;
    std::wstring branchName;
    std::wstring creator;
    // The creation date as the dialog shows it.
    std::wstring createdOn;
    // The list's column headings in column order. The first column (the type icon's) is
    // written as "Index" with row numbers; only the count of this vector matters for it.
    std::vector<std::wstring> headings;
    int rowCount = 0;
    // Text of the cell at display position `row` (0-based, current sort) and `column` >= 1;
    // needed when there are rows and more than one column.
    std::function<std::wstring(int row, int column)> cellText;
};

enum ExportMode : int {
    kExportOpenAsCsv = 0,   // a temporary file, opened in the spreadsheet application
    kExportSaveAsCsv = 1,   // a file the user picks
};

// Runs one export. Failures to write end in the message "Failed to create file." and leave
// no file; cancelling the save dialog does nothing. Throws only what the standard library
// throws when memory runs out.
void ExportFileList(const ExportSource& source, int mode);

// The first "<stem>.txt", "<stem>1.txt", "<stem>2.txt"... in the temporary folder that does
// not exist yet. The temporary folder ends in a backslash and one more is put after it.
// Nothing when the system names no temporary folder that fits the name's buffer.
std::optional<std::wstring> FindTemporaryExportPath(const std::wstring& stem);

// Writes the header lines, the heading line and every row to `path` with the separators of
// GetCsvSeparators. Throws CsvFileWriter::Exception; the file is then deleted.
void WriteFileList(const ExportSource& source, const std::wstring& path);
