// A file that cannot be written ends in "Failed to create file.", leaves no file behind and
// opens nothing.
#include <gtest/gtest.h>

#include "DialogDriver.h"
#include "ExportTestSupport.h"
#include "SpreadsheetStandIns.h"
#include "export/FileListExport.h"

namespace {

constexpr wchar_t kFailed[] = L"Failed to create file.";

bool FolderIsEmpty(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return true;
    bool empty = true;
    do {
        if (wcscmp(data.cFileName, L".") && wcscmp(data.cFileName, L"..")) empty = false;
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return empty;
}

ExportSource ManyRows(HWND owner, int rows) {
    ExportSource source = MakeSource(L"Release", L"anna", L"23/11/1987", {L"", L"Source File", L"Branch File"}, {});
    source.owner = owner;
    source.rowCount = rows;
    source.cellText = [](int row, int column) {
        return L"C:\\Vault\\Projects\\Some rather long folder name\\file " + std::to_wstring(row) + L"-" +
               std::to_wstring(column) + L".txt";
    };
    return source;
}

class ExportFailure : public ::testing::Test {
protected:
    RecordingOpener shell;
    ExcelStandIn excel;    // ".csv" is Excel's: nothing may reach it either
    OwnerWindow owner;
    DialogDriver dialogs;

    void ExpectOnlyTheFailureMessage() {
        ASSERT_EQ(dialogs.Seen().size(), 1u);
        EXPECT_EQ(dialogs.Seen()[0].message, kFailed);
        EXPECT_EQ(dialogs.Seen()[0].buttons, std::vector<int>{IDOK});
        EXPECT_EQ(dialogs.Seen()[0].owner, owner.get());
        EXPECT_TRUE(excel.Calls().empty());
        EXPECT_TRUE(shell.CommandLines().empty());
    }
};

TEST_F(ExportFailure, ATemporaryFolderThatDoesNotExistCannotBeOpened) {
    ScratchFolder parent;
    const std::wstring missing = parent.Path() + L"\\missing\\";
    ScopedEnvironment tmp(L"TMP", missing);
    ScopedEnvironment temp(L"TEMP", missing);

    ExportFileList(ManyRows(owner.get(), 3), kExportOpenAsCsv);

    ExpectOnlyTheFailureMessage();
    EXPECT_TRUE(FolderIsEmpty(parent.Path()));
}

TEST_F(ExportFailure, ATemporaryFolderTooLongToNameEndsInTheMessageToo) {
    const std::wstring tooLong = L"C:\\" + std::wstring(300, L'x') + L"\\";
    ScopedEnvironment tmp(L"TMP", tooLong);
    ScopedEnvironment temp(L"TEMP", tooLong);

    ExportFileList(ManyRows(owner.get(), 3), kExportOpenAsCsv);

    ExpectOnlyTheFailureMessage();
}

// Run only by ctest (export_refused_write), in a process whose files may not grow past 256 KiB:
// the file system refuses the writes past it, part-way through the rows.
TEST_F(ExportFailure, DISABLED_AWriteRefusedPartWayLeavesNoFile) {
    ScratchFolder folder;
    ScopedEnvironment tmp(L"TMP", folder.Path() + L"\\");
    ScopedEnvironment temp(L"TEMP", folder.Path() + L"\\");

    // The writer is watched: it must have got into the rows before being refused.
    int rowsAsked = 0;
    ExportSource source = ManyRows(owner.get(), 20000);
    auto cellText = source.cellText;
    source.cellText = [&rowsAsked, cellText](int row, int column) {
        rowsAsked = row + 1;
        return cellText(row, column);
    };
    ExportFileList(source, kExportOpenAsCsv);

    EXPECT_GT(rowsAsked, 0);
    ExpectOnlyTheFailureMessage();
    EXPECT_TRUE(FolderIsEmpty(folder.Path()));
}

}  // namespace
