// Every text the user sees comes from the text service under its id and strings file. The
// service reads its strings file once per process, so the translated run is a child process
// of this test program with the strings file set.
#include <gtest/gtest.h>

#include <windows.h>

#include "DialogDriver.h"
#include "ExportTestSupport.h"
#include "SpreadsheetStandIns.h"
#include "export/FileListExport.h"
#include "export/SpreadsheetOpener.h"
#include "base/ScopedHandle.h"

namespace {

constexpr wchar_t kChildVariable[] = L"LINEAGE_EXPORT_TRANSLATED_CHILD";

const char kStrings[] =
    "[BranchDetailsDlg TS]\n"
    "11=Zweig:\n"
    "2=Erstellt von:\n"
    "3=Erstellt am:\n"
    "12=Nr.\n"
    "100=Verzweigte Dateien\n"
    "101=Textdateien (*.txt)|*.txt|Alle Dateien|*.*||\n"
    "102=Datei konnte nicht erstellt werden.\n"
    "[PreviewView TS]\n"
    "59=Kein Programm f\xC3\xBCr '%s'.\n"
    "175=Diese Excel-Version wird nicht unterst\xC3\xBCtzt.\n";

bool InChild() {
    return ::GetEnvironmentVariableW(kChildVariable, nullptr, 0) > 0;
}

TEST(TranslatedTexts, AreUsedForEveryTextTheUserSees) {
    ScratchFolder folder;
    const std::wstring strings = folder.File(L"Txtres.strings");
    {
        ScopedFileHandle file(::CreateFileW(strings.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(file.get(), kStrings, sizeof(kStrings) - 1, &written, nullptr));
    }
    ScopedEnvironment stringsFile(L"TXTRES_STRINGS", strings);
    ScopedEnvironment child(kChildVariable, L"1");
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --gtest_brief=1 --gtest_filter=TranslatedTextsInChild.*";

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process));
    ScopedKernelHandle processHandle(process.hProcess);
    ScopedKernelHandle threadHandle(process.hThread);
    ASSERT_EQ(::WaitForSingleObject(process.hProcess, 120000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u) << "the translated run failed; its output is above";
}

// The tests of the child process; registered only there (see the end of this file).
class TranslatedTextsInChild : public ::testing::Test {
protected:
    SeparatorSettings settings;
    ScratchFolder folder;
    ExportSource source = MakeSource(L"Release", L"anna", L"d", {L"", L"Source File"}, {{L"C:\\a.txt"}});
    TranslatedTextsInChild() { settings.ListSeparator(L";"); }
};

class HeaderLabelsAndTheIndexHeading : public TranslatedTextsInChild {
    void TestBody() override {
        WriteFileList(source, folder.File(L"list.txt"));

        EXPECT_EQ(ReadBytes(folder.File(L"list.txt")),
                  Utf16File({L"Zweig: Release", L"Erstellt von: anna", L"Erstellt am: d", L"Nr.;Source File", L"1;C:\\a.txt"}));
    }
};

class TemporaryFileName : public TranslatedTextsInChild {
    void TestBody() override {
        ScopedEnvironment tmp(L"TMP", folder.Path() + L"\\");
        ScopedEnvironment temp(L"TEMP", folder.Path() + L"\\");
        RecordingOpener program;
        OwnerWindow owner;
        source.owner = owner.get();

        ExportFileList(source, kExportOpenAsCsv);

        ASSERT_TRUE(program.WaitStarted(20000));
        const std::wstring path = folder.File(L"Verzweigte Dateien.txt");
        EXPECT_EQ(program.CommandLines(), std::vector<std::string>{"\"" + Utf8(path) + "\""});
        EXPECT_TRUE(WaitForDeleteAtRestart(path, 20000));
        ForgetDeleteAtRestart(path);
    }
};

class FailureMessage : public TranslatedTextsInChild {
    void TestBody() override {
        const std::wstring missing = folder.Path() + L"\\missing\\";
        ScopedEnvironment tmp(L"TMP", missing);
        ScopedEnvironment temp(L"TEMP", missing);
        OwnerWindow owner;
        DialogDriver dialogs;

        ExportFileList(source, kExportOpenAsCsv);

        ASSERT_EQ(dialogs.Seen().size(), 1u);
        EXPECT_EQ(dialogs.Seen()[0].message, L"Datei konnte nicht erstellt werden.");
    }
};

class SaveDialogNameAndFilter : public TranslatedTextsInChild {
    void TestBody() override {
        OwnerWindow owner;
        DialogDriver dialogs;
        std::vector<SeenControl> controls;
        dialogs.Then([&](const SeenDialog& seen) {
            controls = seen.controls;
            DialogDriver::Press(seen.window, IDCANCEL);
        });

        ExportFileList(source, kExportSaveAsCsv);

        bool nameOffered = false;
        bool filterOffered = false;
        for (const SeenControl& c : controls) {
            nameOffered |= c.className == L"Edit" && c.text == L"Verzweigte Dateien.txt";
            filterOffered |= c.className == L"ComboBox" && c.text == L"Textdateien (*.txt)";
        }
        EXPECT_TRUE(nameOffered);
        EXPECT_TRUE(filterOffered);
    }
};

class ShellFailureMessage : public TranslatedTextsInChild {
    void TestBody() override {
        RecordingOpener program(false, folder.File(L"no-such-program.exe"));
        const std::wstring path = folder.File(L"t.txt");
        ScopedFileHandle(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        OwnerWindow owner;
        DialogDriver dialogs;

        static_cast<void>(OpenCsvInSpreadsheet(owner.get(), path));

        ASSERT_FALSE(dialogs.Seen().empty());
        EXPECT_EQ(dialogs.Seen().back().message, L"Kein Programm f\u00fcr '" + path + L"'.");
    }
};

class ExcelVersionMessage : public TranslatedTextsInChild {
    void TestBody() override {
        RecordingOpener program;
        ExcelStandIn excel;
        excel.Version(L"9.0");
        OwnerWindow owner;
        DialogDriver dialogs;
        const std::wstring path = folder.File(L"t.txt");
        ScopedFileHandle(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

        EXPECT_TRUE(OpenCsvInSpreadsheet(owner.get(), path));

        ASSERT_FALSE(dialogs.Seen().empty());
        EXPECT_EQ(dialogs.Seen()[0].message, L"Diese Excel-Version wird nicht unterst\u00fctzt.");
        ASSERT_TRUE(program.WaitStarted(20000));
        EXPECT_TRUE(WaitForDeleteAtRestart(path, 20000));
        ForgetDeleteAtRestart(path);
    }
};

template <class Test>
void RegisterChildTest(const char* name) {
    ::testing::RegisterTest("TranslatedTextsInChild", name, nullptr, nullptr, __FILE__, __LINE__,
                            []() -> TranslatedTextsInChild* { return new Test; });
}

const bool g_childTestsRegistered = [] {
    if (!InChild()) return false;
    RegisterChildTest<HeaderLabelsAndTheIndexHeading>("HeaderLabelsAndTheIndexHeading");
    RegisterChildTest<TemporaryFileName>("TemporaryFileName");
    RegisterChildTest<FailureMessage>("FailureMessage");
    RegisterChildTest<SaveDialogNameAndFilter>("SaveDialogNameAndFilter");
    RegisterChildTest<ShellFailureMessage>("ShellFailureMessage");
    RegisterChildTest<ExcelVersionMessage>("ExcelVersionMessage");
    return true;
}();

}  // namespace
