// Every text the user sees comes from the text service under its id and strings file. The
// service reads its strings file once per process: the translated run is a child process.
#include <gtest/gtest.h>
#include "ChildProcess.h"
#include "DialogDriver.h"
#include "SpreadsheetStandIns.h"
#include "export/SpreadsheetOpener.h"

using namespace lineage_test;

namespace {

TEST(TranslatedTexts, AreUsedForEveryTextTheUserSees) {
    ScratchFolder folder;
    ScopedEnvironment strings(L"TXTRES_STRINGS", folder.Write(L"Txtres.strings",
        "[BranchDetailsDlg TS]\n11=Zweig:\n2=Erstellt von:\n3=Erstellt am:\n12=Nr.\n100=Verzweigte Dateien\n"
        "101=Textdateien (*.txt)|*.txt|Alle Dateien|*.*||\n102=Datei konnte nicht erstellt werden.\n"
        "[PreviewView TS]\n59=Kein Programm f\xC3\xBCr '%s'.\n175=Diese Excel-Version wird nicht unterst\xC3\xBCtzt.\n"));
    EXPECT_TRUE(RunTestInChild("TranslatedTexts.DISABLED_InTheChild", {}));
}

TEST(TranslatedTexts, DISABLED_InTheChild) {
    ASSERT_TRUE(IsTestChild());
    ScratchFolder folder;
    OwnerWindow owner;
    ExportSource source = MakeSource({L"", L"Source File"}, {{L"C:\\a.txt"}}, L"d");
    source.owner = owner.get();
    {
        SCOPED_TRACE("header labels and the index heading");
        SeparatorSettings settings;
        WriteFileList(source, folder.File(L"list.txt"));
        EXPECT_EQ(ReadBytes(folder.File(L"list.txt")),
                  Utf16File({L"Zweig: Release", L"Erstellt von: anna", L"Erstellt am: d", L"Nr.;Source File", L"1;C:\\a.txt"}));
    }
    {
        SCOPED_TRACE("temporary file name");
        ScopedTempFolder temp(folder.Path() + L"\\");
        RecordingOpener program;
        SeparatorSettings notExcel;
        ExportFileList(source, kExportOpenAsCsv);
        ASSERT_TRUE(program.WaitStarted());
        const std::wstring path = folder.File(L"Verzweigte Dateien.txt");
        EXPECT_EQ(program.CommandLines(), std::vector<std::string>{"\"" + Utf8(path) + "\""});
        EXPECT_TRUE(WaitForDeleteAtRestart(path));
        ForgetDeleteAtRestart(path);
    }
    DialogDriver dialogs;
    {
        SCOPED_TRACE("failure message");
        ScopedTempFolder missing(folder.Path() + L"\\missing\\");
        ExportFileList(source, kExportOpenAsCsv);
        ASSERT_EQ(dialogs.Seen().size(), 1u);
        EXPECT_EQ(dialogs.Seen().back().message, L"Datei konnte nicht erstellt werden.");
    }
    {
        SCOPED_TRACE("save dialog's name and filter");
        std::vector<SeenControl> controls;
        dialogs.Then([&](const SeenDialog& seen) {
            controls = seen.controls;
            DialogDriver::Press(seen.window, IDCANCEL);
        });
        ExportFileList(source, kExportSaveAsCsv);
        auto offered = [&controls](const wchar_t* cls, const wchar_t* text) {
            return std::any_of(controls.begin(), controls.end(),
                               [&](const SeenControl& c) { return c.className == cls && c.text == text; });
        };
        EXPECT_TRUE(offered(L"Edit", L"Verzweigte Dateien.txt"));
        EXPECT_TRUE(offered(L"ComboBox", L"Textdateien (*.txt)"));
    }
    const std::wstring path = folder.Write(L"t.txt", "x");
    {
        SCOPED_TRACE("shell failure message");
        RecordingOpener program(false, folder.File(L"no-such-program.exe"));
        SeparatorSettings notExcel;
        static_cast<void>(OpenCsvInSpreadsheet(owner.get(), path));
        EXPECT_EQ(dialogs.Seen().back().message, L"Kein Programm f\u00fcr '" + path + L"'.");
    }
    {
        SCOPED_TRACE("Excel version message");
        folder.Write(L"t.txt", "x");
        RecordingOpener program;
        ExcelStandIn excel;
        excel.Version(L"9.0");
        const size_t before = dialogs.Seen().size();
        EXPECT_TRUE(OpenCsvInSpreadsheet(owner.get(), path));
        ASSERT_GT(dialogs.Seen().size(), before);
        EXPECT_EQ(dialogs.Seen()[before].message, L"Diese Excel-Version wird nicht unterst\u00fctzt.");
        ASSERT_TRUE(program.WaitStarted());
        EXPECT_TRUE(WaitForDeleteAtRestart(path));
        ForgetDeleteAtRestart(path);
    }
}

} // namespace
