// The text service reads its strings file once per process: the translated run is a child process.
#include <gtest/gtest.h>
#include "ChildProcess.h"
#include "ExportHarness.h"
#include "export/SpreadsheetOpener.h"

using namespace lineage_test;

namespace {

TEST(TranslatedTexts, AreUsedForEveryTextTheUserSees) {
    ScratchFolder folder;
    ScopedEnvironment strings(L"TXTRES_STRINGS", folder.Write(L"Txtres.strings",
        "[BranchDetailsDlg TS]\n11=Zweig:\n2=Erstellt von:\n3=Erstellt am:\n12=Nr.\n100=Verzweigte Dateien\n"
        "101=Textdateien (*.txt)|*.txt|Alle Dateien|*.*||\n102=Datei konnte nicht erstellt werden.\n"
        "[PreviewView TS]\n59=Kein Programm f\xC3\xBCr '%s'.\n"
        "175=Diese Excel-Version wird nicht unterst\xC3\xBCtzt.\n"));
    EXPECT_TRUE(RunTestInChild("TranslatedTexts.DISABLED_InTheChild", {}));
}

TEST(TranslatedTexts, DISABLED_InTheChild) {
    ASSERT_TRUE(IsTestChild());
    ScratchFolder folder;
    ScopedTempFolder temp(folder.Path() + L"\\");
    SeparatorSettings settings;
    DialogDriver dialogs;
    const ExportSource source = MakeSource({L"", L"Source File"}, {{L"C:\\a.txt"}}, L"d", dialogs.owner);
    const std::wstring path = folder.File(L"Verzweigte Dateien.txt");
    RecordingOpener program(/*hold=*/true);
    ExportFileList(source, kExportOpenAsCsv);  // the header's labels, the index heading, the file's name
    ASSERT_TRUE(program.WaitStarted());
    EXPECT_EQ(program.CommandLines(), std::vector<std::string>{"\"" + Utf8(path) + "\""});
    EXPECT_EQ(ReadBytes(path), Utf16File({L"Zweig: Release", L"Erstellt von: anna", L"Erstellt am: d",
                                          L"Nr.;Source File", L"1;C:\\a.txt"}));
    dialogs.Then([](const SeenDialog& seen) {
        EXPECT_TRUE(seen.Find(L"Edit", L"Verzweigte Dateien.txt")) << "the save dialog's name";
        EXPECT_TRUE(seen.Find(L"ComboBox", L"Textdateien (*.txt)")) << "the save dialog's filter";
        DialogDriver::Press(seen.window, IDCANCEL);
    });
    ExportFileList(source, kExportSaveAsCsv);
    {
        ScopedTempFolder missing(folder.Path() + L"\\missing\\");
        ExportFileList(source, kExportOpenAsCsv);
        EXPECT_EQ(dialogs.Seen().back().message, L"Datei konnte nicht erstellt werden.");
    }
    {
        RecordingOpener missingProgram(false, folder.File(L"no-such-program.exe"));
        static_cast<void>(OpenCsvInSpreadsheet(dialogs.owner, folder.Write(L"t.txt", "x")));
        EXPECT_EQ(dialogs.Seen().back().message, L"Kein Programm f\u00fcr '" + folder.File(L"t.txt") + L"'.");
    }
    SeparatorSettings excelsCsv(L";", L"Excel.CSV");
    ExcelStandIn excel(L"9.0");
    const size_t before = dialogs.Seen().size();
    ExportFileList(source, kExportOpenAsCsv);
    ASSERT_GT(dialogs.Seen().size(), before);
    EXPECT_EQ(dialogs.Seen()[before].message, L"Diese Excel-Version wird nicht unterst\u00fctzt.");
}

} // namespace
