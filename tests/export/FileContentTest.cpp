// The exported file byte for byte, the separator the user's settings give, the temporary file's
// name, and translated message texts taking their path.
#include <gtest/gtest.h>
#include "ExportTestSupport.h"
#include "export/CsvSeparators.h"
#include "export/ExportTexts.h"

namespace {

constexpr wchar_t kSwedishCsv[] = L"Microsoft Office Excel-fil med kommaavgr\u00e4nsade v\u00e4rden";

TEST(MessageFormat, PutsThePathWhereItSaysPercentSOnly) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"Could not open '%s'.", L"Could not open 'C:\\t.txt'."}, {L"%s and %s", L"C:\\t.txt and C:\\t.txt"},
        {L"100%% of %s", L"100% of C:\\t.txt"}, {L"%d %ls %s", L"%d %ls C:\\t.txt"},
        {L"%s %", L"C:\\t.txt %"}, {L"Failed.", L"Failed."}};
    for (const auto& [format, expected] : cases)
        EXPECT_EQ(FormatWithString(format, L"C:\\t.txt"), expected) << format;
}

TEST(Separators, FollowTheListSeparatorThenTheCsvTypesDescription) {
    struct Case { const wchar_t* sList; const wchar_t* csvClass; const wchar_t* description; wchar_t separator, replacement; };
    const Case cases[] = {
        {L";", nullptr, nullptr, L';', L':'}, {L",", nullptr, nullptr, L',', L':'}, {L":", nullptr, nullptr, L':', L';'},
        {L"|", nullptr, nullptr, L'|', L':'}, {L"#;", nullptr, nullptr, L'#', L':'},  // several: the first
        {L",", L"LineageTest.CSV", kSwedishCsv, L',', L':'}, {nullptr, L"LineageTest.CSV", kSwedishCsv, L'\t', L' '},
        {L"", L"LineageTest.CSV", kSwedishCsv, L'\t', L' '},
        {nullptr, L"LineageTest.CSV", L"microsoft office excel-fil med kommaavgr\u00e4nsade v\u00e4rden", L';', L':'},
        {nullptr, L"LineageTest.CSV", L"Microsoft Excel Comma Separated Values File", L';', L':'},
        {nullptr, L"LineageTest.CSV", nullptr, L';', L':'}, {nullptr, nullptr, nullptr, L';', L':'}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.sList ? Utf8(c.sList) : "no sList") << " / "
                                        << (c.description ? Utf8(c.description) : "no description"));
        SeparatorSettings settings;
        settings.ListSeparator(c.sList);
        settings.CsvClass(c.csvClass, c.description);
        const CsvSeparators separators = GetCsvSeparators();
        EXPECT_EQ(separators.separator, c.separator);
        EXPECT_EQ(separators.replacement, c.replacement);
    }
}

TEST(TemporaryName, IsTheFirstThatDoesNotExistInTheTemporaryFolder) {
    // A temporary folder of the test's own, so that leftovers of other runs do not count.
    ScratchFolder folder;
    ScopedTempFolder temp(folder.Path() + L"\\");
    for (const wchar_t* expected : {L"Branched Files List.txt", L"Branched Files List1.txt",
                                    L"Branched Files List2.txt", L"Branched Files List3.txt"}) {
        const std::optional<std::wstring> path = FindTemporaryExportPath(L"Branched Files List");
        // The folder keeps its backslash and one more comes before the name.
        ASSERT_TRUE(path);
        EXPECT_EQ(*path, folder.Path() + L"\\\\" + expected);
        EXPECT_FALSE(FileExists(*path));
        folder.Write(expected, "");
    }
}

TEST(FileContent, IsExactlyTheExpectedBytesForEachSeparator) {
    struct Case {
        const wchar_t* sList;  // nullptr: the Swedish ".csv" description gives tab
        std::wstring branch;
        std::vector<std::wstring> headings;
        std::vector<std::vector<std::wstring>> rows;
        std::vector<std::wstring> expected;  // after the creator and date lines where they are plain
    };
    const std::vector<std::wstring> kHeadings = {L"", L"Source File", L"Branch File"};
    const Case cases[] = {
        {L";", L"Release", kHeadings, {{L"C:\\V\\a;b.txt", L"C:\\B\\a;b.txt"}, {L"C:\\V\\say \"hi\".txt", L"C:\\B\\x,y.txt"}},
         {L"Branch Name: Release", L"Index;Source File;Branch File", L"1;C:\\V\\a:b.txt;C:\\B\\a:b.txt",
          L"2;C:\\V\\say \"hi\".txt;C:\\B\\x,y.txt"}},
        {L",", L"Release, final", kHeadings, {{L"C:\\V\\a,b.txt", L"C:\\B\\say \"hi\", ok.txt"}, {L"C:\\V\\\"q\".txt", L"C:\\B:x;y.txt"}},
         {L"\"Branch Name: Release, final\"", L"Index,Source File,Branch File",
          L"1,\"C:\\V\\a,b.txt\",\"C:\\B\\say \"hi\", ok.txt\"", L"2,C:\\V\\\"q\".txt,C:\\B:x;y.txt"}},
        {nullptr, L"Rel\tease", kHeadings, {{L"C:\\V\\a\tb.txt", L"C:\\B\\a;b.txt"}},
         {L"Branch Name: Rel ease", L"Index\tSource File\tBranch File", L"1\tC:\\V\\a b.txt\tC:\\B\\a;b.txt"}},
        {L";", L"Release", {L"", L"Source File", L"Branch File", L"Shared"}, {{L"a", L"b", L"Yes"}, {L"c", L"d", L""}},
         {L"Branch Name: Release", L"Index;Source File;Branch File;Shared", L"1;a;b;Yes", L"2;c;d;"}},
        {L";", L"Release", kHeadings, {}, {L"Branch Name: Release", L"Index;Source File;Branch File"}},
        {L";", L"Release", {L"", std::wstring(120, L'h')}, {{std::wstring(5000, L'v')}},  // headings cut, cells not
         {L"Branch Name: Release", L"Index;" + std::wstring(99, L'h'), L"1;" + std::wstring(5000, L'v')}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.expected[0]));
        SeparatorSettings settings;
        settings.ListSeparator(c.sList);
        settings.CsvClass(c.sList ? nullptr : L"LineageTest.CSV", kSwedishCsv);
        ScratchFolder folder;
        ExportSource source = MakeSource(c.headings, c.rows);
        source.branchName = c.branch;
        WriteFileList(source, folder.File(L"list.txt"));
        std::vector<std::wstring> expected = c.expected;
        expected.insert(expected.begin() + 1, {L"Created By: anna", L"Created On: 23/11/1987 14:45:56"});
        EXPECT_EQ(ReadBytes(folder.File(L"list.txt")), Utf16File(expected));
    }
    // A colon separator stands in for itself even in the header's labels and the date.
    SeparatorSettings colon;
    colon.ListSeparator(L":");
    ScratchFolder folder;
    WriteFileList(MakeSource(kHeadings, {{L"C:\\V\\a.txt", L"D:\\B\\a.txt"}}), folder.File(L"list.txt"));
    EXPECT_EQ(ReadBytes(folder.File(L"list.txt")),
              Utf16File({L"Branch Name; Release", L"Created By; anna", L"Created On; 23/11/1987 14;45;56",
                         L"Index:Source File:Branch File", L"1:C;\\V\\a.txt:D;\\B\\a.txt"}));
}

TEST(FileContent, RowsAreAskedForInDisplayOrderOnce) {
    SeparatorSettings settings;
    ScratchFolder folder;
    ExportSource source = MakeSource({L"", L"Source File", L"Branch File"}, {}, L"d");
    source.rowCount = 3;
    std::vector<std::pair<int, int>> asked;
    source.cellText = [&asked](int row, int column) {
        asked.emplace_back(row, column);
        return L"r" + std::to_wstring(row) + L"c" + std::to_wstring(column);
    };
    WriteFileList(source, folder.File(L"list.txt"));
    EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{0, 1}, {0, 2}, {1, 1}, {1, 2}, {2, 1}, {2, 2}}));
    EXPECT_EQ(ReadBytes(folder.File(L"list.txt")),
              Utf16File({L"Branch Name: Release", L"Created By: anna", L"Created On: d", L"Index;Source File;Branch File",
                         L"1;r0c1;r0c2", L"2;r1c1;r1c2", L"3;r2c1;r2c2"}));
}

} // namespace
