// "Open as CSV" when Excel owns ".csv": the automation calls Excel receives, and the fall-back
// to the shell when Excel is too old, missing or failing.
#include <gtest/gtest.h>

#include "DialogDriver.h"
#include "ExportTestSupport.h"
#include "SpreadsheetStandIns.h"
#include "export/FileListExport.h"

namespace {

constexpr wchar_t kSwedishCsv[] = L"Microsoft Office Excel-fil med kommaavgr\u00e4nsade v\u00e4rden";
const char kMissing[] = "VT_ERROR 0x80020004";

// The calls of one successful import, with the separator switches and OtherChar given.
std::vector<std::string> ImportCalls(const std::wstring& path, const char* tab, const char* semicolon,
                                     const char* comma, const char* space, const char* other,
                                     const std::string& otherChar) {
    return {"Create",
            "Version get lcid=0",
            "Workbooks get lcid=0",
            "OpenText call lcid=0 args=18 named=0",
            "OpenText.Filename VT_BSTR " + Utf8(path),
            "OpenText.Origin VT_INT 2",
            "OpenText.StartRow VT_INT 1",
            "OpenText.DataType VT_INT 1",
            "OpenText.TextQualifier VT_I4 1",
            "OpenText.ConsecutiveDelimiter VT_I2 0",
            std::string("OpenText.Tab VT_I2 ") + tab,
            std::string("OpenText.Semicolon VT_I2 ") + semicolon,
            std::string("OpenText.Comma VT_I2 ") + comma,
            std::string("OpenText.Space VT_I2 ") + space,
            std::string("OpenText.Other VT_I2 ") + other,
            "OpenText.OtherChar " + otherChar,
            "OpenText.FieldInfo VT_ARRAY|VT_I4 1x2 1 1",
            std::string("OpenText.TextVisualLayout ") + kMissing,
            std::string("OpenText.DecimalSeparator ") + kMissing,
            std::string("OpenText.ThousandsSeparator ") + kMissing,
            std::string("OpenText.TrailingMinusNumbers ") + kMissing,
            std::string("OpenText.Local ") + kMissing,
            "Visible put VT_BOOL -1 lcid=0 named=1"};
}

struct SeparatorImportCase {
    const char* name;
    const wchar_t* listSeparator;   // nullptr: the Swedish ".CSV" description decides
    const char* tab;
    const char* semicolon;
    const char* comma;
    const char* space;
    const char* other;
    const char* otherChar;
    wchar_t separatorInFile;
};

const SeparatorImportCase kSeparatorCases[] = {
    {"Semicolon", L";", "0", "-1", "0", "0", "0", kMissing, L';'},
    {"Comma", L",", "0", "0", "-1", "0", "0", kMissing, L','},
    {"Space", L" ", "0", "0", "0", "-1", "0", kMissing, L' '},
    {"TabFromSwedishType", nullptr, "-1", "0", "0", "0", "0", kMissing, L'\t'},
    {"VerticalBarIsOtherWithItsCode", L"|", "0", "0", "0", "0", "-1", "VT_INT 124", L'|'},
    {"ColonIsOtherWithItsCode", L":", "0", "0", "0", "0", "-1", "VT_INT 58", L':'},
};

// The exported list of OpenAsCsvRun as written with `separator`: the separator inside a value
// is replaced (no value here holds a comma, so nothing is quoted).
std::string ExpectedFile(wchar_t separator) {
    const wchar_t replacement = separator == L'\t' ? L' ' : separator == L':' ? L';' : L':';
    const std::vector<std::vector<std::wstring>> lines = {
        {L"Branch Name: Release"}, {L"Created By: anna"}, {L"Created On: 23/11/1987 14:45:56"},
        {L"Index", L"Source File", L"Branch File"}, {L"1", L"C:\\a.txt", L"C:\\b.txt"}};
    std::vector<std::wstring> joined;
    for (const auto& fields : lines) {
        std::wstring line;
        for (std::wstring field : fields) {
            for (wchar_t& ch : field)
                if (ch == separator) ch = replacement;
            line += field;
            line += separator;
        }
        line.pop_back();
        joined.push_back(line);
    }
    return Utf16File(joined);
}

// Runs "Open as CSV" in a temporary folder of its own, with a visible owner window and every
// message answered with OK.
struct OpenAsCsvRun {
    ScratchFolder folder;
    ScopedEnvironment tmp{L"TMP", folder.Path() + L"\\"};
    ScopedEnvironment temp{L"TEMP", folder.Path() + L"\\"};
    OwnerWindow owner;
    DialogDriver dialogs;
    std::wstring path = folder.Path() + L"\\\\Branched Files List.txt";

    void Run() {
        ExportSource source = MakeSource(L"Release", L"anna", L"23/11/1987 14:45:56",
                                         {L"", L"Source File", L"Branch File"}, {{L"C:\\a.txt", L"C:\\b.txt"}});
        source.owner = owner.get();
        ExportFileList(source, kExportOpenAsCsv);
    }
};

class ExcelSeparators : public ::testing::TestWithParam<SeparatorImportCase> {};

TEST_P(ExcelSeparators, OpenTextGetsTheSeparatorSwitchesAndTheFileIsGoneAtOnce) {
    const SeparatorImportCase& c = GetParam();
    RecordingOpener shell;
    ExcelStandIn excel;
    excel.Settings().ListSeparator(c.listSeparator);
    if (!c.listSeparator) excel.Settings().CsvClass(L"Excel.CSV", kSwedishCsv);
    OpenAsCsvRun run;

    run.Run();

    EXPECT_EQ(excel.Calls(), ImportCalls(run.path, c.tab, c.semicolon, c.comma, c.space, c.other, c.otherChar));
    EXPECT_FALSE(FileExists(run.path));
    EXPECT_EQ(ReadBytes(excel.ImportedCopy()), ExpectedFile(c.separatorInFile));
    EXPECT_TRUE(run.dialogs.Seen().empty());
    EXPECT_TRUE(shell.CommandLines().empty());
}

INSTANTIATE_TEST_SUITE_P(Import, ExcelSeparators, ::testing::ValuesIn(kSeparatorCases),
                         [](const ::testing::TestParamInfo<SeparatorImportCase>& info) { return info.param.name; });

struct FallbackCase {
    const char* name;
    const wchar_t* csvClass;
    bool registered;
    const wchar_t* version;
    const wchar_t* failingCall;
    bool imported;             // Excel took the file; the shell is not asked
    bool versionMessage;       // the user is told Excel is too old
    const char* lastCall;      // the last call Excel received, or nullptr for none
};

const FallbackCase kFallbackCases[] = {
    {"ClassInOtherLetterCaseStillSelectsExcel", L"eXCEL.csv", true, L"10.0", L"", true, false, "Visible put VT_BOOL -1 lcid=0 named=1"},
    {"Version10Passes", L"Excel.CSV", true, L"10.0", L"", true, false, "Visible put VT_BOOL -1 lcid=0 named=1"},
    {"UnreadableVersionIsNotTested", L"Excel.CSV", true, L"10.0", L"Version", true, false, "Visible put VT_BOOL -1 lcid=0 named=1"},
    {"Version9IsNotSupported", L"Excel.CSV", true, L"9.0", L"", false, true, "Version get lcid=0"},
    {"Version8IsNotSupported", L"Excel.CSV", true, L"8.0a", L"", false, true, "Version get lcid=0"},
    {"OtherCsvOwnerUsesTheShell", L"LineageTest.CSV", true, L"10.0", L"", false, false, nullptr},
    {"UnregisteredExcelFallsBackSilently", L"Excel.CSV", false, L"10.0", L"", false, false, nullptr},
    {"ExcelThatCannotStartFallsBackSilently", L"Excel.CSV", true, L"10.0", L"Create", false, false, "Create"},
    {"FailingWorkbooksFallsBackSilently", L"Excel.CSV", true, L"10.0", L"Workbooks", false, false, "Workbooks get lcid=0"},
    {"FailingOpenTextFallsBackSilently", L"Excel.CSV", true, L"10.0", L"OpenText", false, false,
     "OpenText.Local VT_ERROR 0x80020004"},
    {"FailingVisibleFallsBackSilently", L"Excel.CSV", true, L"10.0", L"Visible", false, false,
     "Visible put VT_BOOL -1 lcid=0 named=1"},
};

class ExcelFallback : public ::testing::TestWithParam<FallbackCase> {};

TEST_P(ExcelFallback, ImportsOrHandsTheFileToTheShell) {
    const FallbackCase& c = GetParam();
    RecordingOpener shell;
    ExcelStandIn excel(c.csvClass);
    excel.Version(c.version);
    excel.Fail(c.failingCall);
    if (!c.registered) excel.Unregister();
    OpenAsCsvRun run;

    run.Run();

    const std::vector<std::string> calls = excel.Calls();
    if (c.lastCall) {
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back(), c.lastCall);
    } else {
        EXPECT_TRUE(calls.empty());
    }
    if (c.versionMessage) {
        ASSERT_EQ(run.dialogs.Seen().size(), 1u);
        EXPECT_EQ(run.dialogs.Seen()[0].message,
                  L"The currently installed version of Microsoft Excel is not supported.");
        EXPECT_EQ(run.dialogs.Seen()[0].buttons, std::vector<int>{IDOK});
        EXPECT_EQ(run.dialogs.Seen()[0].owner, run.owner.get());
    } else {
        EXPECT_TRUE(run.dialogs.Seen().empty());
    }
    if (c.imported) {
        EXPECT_FALSE(FileExists(run.path));
        EXPECT_TRUE(shell.CommandLines().empty());
        return;
    }
    // The shell's program gets the file, which stays until that program has ended.
    ASSERT_TRUE(shell.WaitStarted(20000));
    // The shell hands the program the full path name, the doubled backslash made single.
    EXPECT_EQ(shell.CommandLines(), std::vector<std::string>{"\"" + Utf8(FullPathName(run.path)) + "\""});
    EXPECT_TRUE(WaitForDeleteAtRestart(run.path, 20000));
    ForgetDeleteAtRestart(run.path);
}

INSTANTIATE_TEST_SUITE_P(Excel, ExcelFallback, ::testing::ValuesIn(kFallbackCases),
                         [](const ::testing::TestParamInfo<FallbackCase>& info) { return info.param.name; });

}  // namespace
