// A file that cannot be written ends in "Failed to create file.", leaves no file behind and
// opens nothing.
#include <gtest/gtest.h>

#include <cerrno>

#include "DialogDriver.h"
#include "ExportTestSupport.h"
#include "SpreadsheetStandIns.h"
#include "export/CsvFileWriter.h"
#include "export/FileListExport.h"

namespace {

constexpr wchar_t kFailed[] = L"Failed to create file.";

// The small volume the test run mounts, as Wine sees it through drive Z:.
std::wstring FullVolumeFolder() {
    wchar_t unixPath[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"LINEAGE_FULL_VOLUME", unixPath, MAX_PATH)) return {};
    std::wstring path = L"Z:";
    for (const wchar_t* p = unixPath; *p; ++p) path += *p == L'/' ? L'\\' : *p;
    return path;
}

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

// A small volume mounted for the test run, or empty (the test is then skipped).
std::wstring SmallVolume(ULARGE_INTEGER& total) {
    const std::wstring volume = FullVolumeFolder();
    ULARGE_INTEGER available{};
    if (volume.empty() || !::GetDiskFreeSpaceExW((volume + L"\\").c_str(), &available, &total, nullptr) ||
        total.QuadPart > 1024 * 1024)
        return {};
    return volume;
}

TEST(CsvFileWriterOnAFullVolume, ThrowsNoSpaceAndDeletesWhatItWrote) {
    ULARGE_INTEGER total{};
    const std::wstring volume = SmallVolume(total);
    if (volume.empty()) GTEST_SKIP() << "no small volume mounted at LINEAGE_FULL_VOLUME (mounting needs root)";
    const std::wstring path = volume + L"\\writer.txt";
    const std::wstring value(1000, L'v');
    int cause = -1;
    int error = 0;
    try {
        CsvFileWriter writer(L';', L':');
        writer.Open(path);
        // Twice the volume: its accounting lets a file run a little past the nominal size.
        for (ULONGLONG written = 0; written <= 2 * total.QuadPart; written += value.size() * sizeof(wchar_t))
            writer.WriteField(value);
        writer.Close();
    } catch (const CsvFileWriter::Exception& e) {
        cause = e.cause;
        error = e.errorNumber;
        EXPECT_EQ(e.fileName, path);
    }
    // The C runtime may report the full disk on the write that overflows its buffer or only
    // when the buffer is flushed at close; either way it is the file system refusing.
    EXPECT_TRUE(cause == CsvFileWriter::Exception::kWrite || cause == CsvFileWriter::Exception::kClose) << cause;
    EXPECT_EQ(error, ENOSPC);
    RecordProperty("cause", cause);
    EXPECT_FALSE(FileExists(path));
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

TEST_F(ExportFailure, AWriteRefusedPartWayOnAFullVolumeLeavesNoFile) {
    ULARGE_INTEGER total{};
    const std::wstring volume = SmallVolume(total);
    if (volume.empty())
        GTEST_SKIP() << "no small volume mounted at LINEAGE_FULL_VOLUME (mounting needs root)";
    ASSERT_TRUE(FolderIsEmpty(volume));
    ScopedEnvironment tmp(L"TMP", volume + L"\\");
    ScopedEnvironment temp(L"TEMP", volume + L"\\");
    // Far more than the volume holds: the header fits, the rows do not.
    const int rows = static_cast<int>(total.QuadPart / 100);

    // The writer is watched: it must have got part of the way before being refused.
    int rowsAsked = 0;
    ExportSource source = ManyRows(owner.get(), rows);
    auto cellText = source.cellText;
    source.cellText = [&rowsAsked, cellText](int row, int column) {
        rowsAsked = row + 1;
        return cellText(row, column);
    };
    ExportFileList(source, kExportOpenAsCsv);

    EXPECT_GT(rowsAsked, 0);
    ExpectOnlyTheFailureMessage();
    EXPECT_TRUE(FolderIsEmpty(volume));
}

}  // namespace
