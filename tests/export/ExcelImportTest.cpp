// "Open as CSV" when Excel owns ".csv": the automation calls Excel receives, and the fall-back
// to the shell when Excel is too old, missing or failing.
#include <gtest/gtest.h>
#include "DialogDriver.h"
#include "SpreadsheetStandIns.h"

namespace {

constexpr char kMissing[] = "VT_ERROR 0x80020004";
constexpr char kVisible[] = "Visible put VT_BOOL -1 lcid=0 named=1";

// Runs "Open as CSV" in a temporary folder of its own, with an owner window and every message
// answered with OK.
struct OpenAsCsvRun {
    ScratchFolder folder;
    ScopedTempFolder temp{folder.Path() + L"\\"};
    OwnerWindow owner;
    DialogDriver dialogs;
    std::wstring path = folder.Path() + L"\\\\Branched Files List.txt";

    OpenAsCsvRun() {
        ExportSource source = MakeSource({L"", L"Source File", L"Branch File"}, {{L"C:\\a.txt", L"C:\\b.txt"}});
        source.owner = owner.get();
        ExportFileList(source, kExportOpenAsCsv);
    }
};

TEST(ExcelImport, OpenTextGetsTheSeparatorSwitchesAndTheFileIsGoneAtOnce) {
    // Switches Tab, Semicolon, Comma, Space, Other (0 off, 1 on) and what OtherChar gets.
    struct Case { const wchar_t* sList; const char* switches; std::string otherChar; };
    const Case cases[] = {{L";", "01000", kMissing}, {L",", "00100", kMissing}, {L" ", "00010", kMissing},
                          {nullptr, "10000", kMissing},  // the Swedish ".csv" description gives tab
                          {L"|", "00001", "VT_INT 124"}, {L":", "00001", "VT_INT 58"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.switches);
        RecordingOpener shell;
        ExcelStandIn excel;
        excel.Settings().ListSeparator(c.sList);
        if (!c.sList)
            excel.Settings().CsvClass(L"Excel.CSV", L"Microsoft Office Excel-fil med kommaavgr\u00e4nsade v\u00e4rden");
        OpenAsCsvRun run;
        std::vector<std::string> expected = {"Create", "Version get lcid=0", "Workbooks get lcid=0",
            "OpenText call lcid=0 args=18 named=0", "OpenText.Filename VT_BSTR " + Utf8(run.path),
            "OpenText.Origin VT_INT 2", "OpenText.StartRow VT_INT 1", "OpenText.DataType VT_INT 1",
            "OpenText.TextQualifier VT_I4 1", "OpenText.ConsecutiveDelimiter VT_I2 0"};
        const char* names[] = {"Tab", "Semicolon", "Comma", "Space", "Other"};
        for (int i = 0; i < 5; ++i)
            expected.push_back(std::string("OpenText.") + names[i] + " VT_I2 " + (c.switches[i] == '1' ? "-1" : "0"));
        expected.push_back("OpenText.OtherChar " + c.otherChar);
        expected.push_back("OpenText.FieldInfo VT_ARRAY|VT_I4 1x2 1 1");
        for (const char* name : {"TextVisualLayout", "DecimalSeparator", "ThousandsSeparator", "TrailingMinusNumbers", "Local"})
            expected.push_back(std::string("OpenText.") + name + " " + kMissing);
        expected.push_back(kVisible);
        EXPECT_EQ(excel.Calls(), expected);
        EXPECT_FALSE(FileExists(run.path));
        const wchar_t sep = c.sList ? c.sList[0] : L'\t';
        const std::wstring row = std::wstring(L"\r\n1") + sep + L"C";  // the first row, as separated
        EXPECT_NE(ReadBytes(excel.ImportedCopy()).find(std::string(reinterpret_cast<const char*>(row.data()), row.size() * 2)),
                  std::string::npos)
            << "OpenText did not see the exported file";
        EXPECT_TRUE(run.dialogs.Seen().empty());
        EXPECT_TRUE(shell.CommandLines().empty());
    }
}

TEST(ExcelImport, ImportsOrHandsTheFileToTheShell) {
    struct Case {
        const wchar_t* csvClass;
        bool registered;
        const wchar_t* version;
        const wchar_t* failingCall;
        bool imported;         // Excel took the file; the shell is not asked
        bool versionMessage;   // the user is told Excel is too old
        const char* lastCall;  // the last call Excel received, or nullptr for none
    };
    const Case cases[] = {
        {L"eXCEL.csv", true, L"10.0", L"", true, false, kVisible},  // any letter case is Excel's
        {L"Excel.CSV", true, L"10.0", L"Version", true, false, kVisible},  // an unreadable version is not tested
        {L"Excel.CSV", true, L"9.0", L"", false, true, "Version get lcid=0"},
        {L"Excel.CSV", true, L"8.0a", L"", false, true, "Version get lcid=0"},
        {L"LineageTest.CSV", true, L"10.0", L"", false, false, nullptr},
        {L"Excel.CSV", false, L"10.0", L"", false, false, nullptr},
        {L"Excel.CSV", true, L"10.0", L"Create", false, false, "Create"},
        {L"Excel.CSV", true, L"10.0", L"Workbooks", false, false, "Workbooks get lcid=0"},
        {L"Excel.CSV", true, L"10.0", L"OpenText", false, false, "OpenText.Local VT_ERROR 0x80020004"},
        {L"Excel.CSV", true, L"10.0", L"Visible", false, false, kVisible},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << Utf8(c.csvClass) << " " << Utf8(c.version) << " failing " << Utf8(c.failingCall)
                                        << (c.registered ? "" : " unregistered"));
        RecordingOpener shell;
        ExcelStandIn excel(c.csvClass);
        excel.Version(c.version);
        excel.Fail(c.failingCall);
        if (!c.registered)
            excel.Unregister();
        OpenAsCsvRun run;
        const std::vector<std::string> calls = excel.Calls();
        EXPECT_EQ(calls.empty() ? "" : calls.back(), c.lastCall ? c.lastCall : "");
        ASSERT_EQ(run.dialogs.Seen().size(), c.versionMessage ? 1u : 0u);
        if (c.versionMessage) {
            EXPECT_EQ(run.dialogs.Seen()[0].message, L"The currently installed version of Microsoft Excel is not supported.");
            EXPECT_EQ(run.dialogs.Seen()[0].buttons, std::vector<int>{IDOK});
            EXPECT_EQ(run.dialogs.Seen()[0].owner, run.owner.get());
        }
        if (c.imported) {
            EXPECT_FALSE(FileExists(run.path));
            EXPECT_TRUE(shell.CommandLines().empty());
            continue;
        }
        // The shell's program gets the full path name (the doubled backslash made single); the
        // file stays until that program has ended.
        ASSERT_TRUE(shell.WaitStarted());
        EXPECT_EQ(shell.CommandLines(), std::vector<std::string>{"\"" + Utf8(run.folder.File(L"Branched Files List.txt")) + "\""});
        EXPECT_TRUE(WaitForDeleteAtRestart(run.path));
        ForgetDeleteAtRestart(run.path);
    }
}

} // namespace
