// The exported file byte for byte with each separator, the temporary file's name, and message formatting.
#include <gtest/gtest.h>
#include "ExportHarness.h"
#include "export/ExportTexts.h"

namespace {

TEST(MessageFormat, PutsThePathWhereItSaysPercentSOnly) {
    for (const auto& [format, expected] : {std::pair{L"Could not open '%s'.", L"Could not open 'C:\\t'."},
                                           {L"%s and %s", L"C:\\t and C:\\t"}, {L"100%% of %s", L"100% of C:\\t"},
                                           {L"%d %ls %s", L"%d %ls C:\\t"}, {L"%s %", L"C:\\t %"}})
        EXPECT_EQ(FormatWithString(format, L"C:\\t"), expected) << Utf8(format);
}

TEST(TemporaryName, IsTheFirstThatDoesNotExistInTheTemporaryFolder) {
    ScratchFolder folder;
    ScopedTempFolder temp(folder.Path() + L"\\");
    for (const wchar_t* name : {L"Branched Files List.txt", L"Branched Files List1.txt", L"Branched Files List2.txt"}) {
        // The folder keeps its backslash and one more comes before the name.
        EXPECT_EQ(FindTemporaryExportPath(L"Branched Files List"), folder.Path() + L"\\\\" + name);
        folder.Write(name, "");
    }
}

TEST(FileContent, IsExactlyTheExpectedBytesForEachSeparator) {
    struct Case {
        const wchar_t* sList;  // nullptr: the Swedish ".csv" description gives tab
        std::wstring branch;
        std::vector<std::wstring> headings;
        std::vector<std::vector<std::wstring>> rows;
        std::vector<std::wstring> expected;
    };
    const std::vector<std::wstring> kHeadings = {L"", L"Source File", L"Branch File"};
    const Case cases[] = {
        {L";", L"Release", {L"", L"Source File", std::wstring(120, L'h')},  // headings cut, cells not
         {{L"C:\\V\\a;b.txt", std::wstring(5000, L'v')}, {L"C:\\V\\say \"hi\".txt", L"x,y"}},
         {L"Branch Name: Release", L"Created By: anna", L"Created On: 23/11/1987 14:45:56",
          L"Index;Source File;" + std::wstring(99, L'h'), L"1;C:\\V\\a:b.txt;" + std::wstring(5000, L'v'),
          L"2;C:\\V\\say \"hi\".txt;x,y"}},
        {L",", L"Release, final", kHeadings, {{L"C:\\V\\a,b.txt", L"C:\\B\\say \"hi\", ok.txt"}, {L"\"q\"", L"x;y:z"}},
         {L"\"Branch Name: Release, final\"", L"Created By: anna", L"Created On: 23/11/1987 14:45:56",
          L"Index,Source File,Branch File", L"1,\"C:\\V\\a,b.txt\",\"C:\\B\\say \"hi\", ok.txt\"", L"2,\"q\",x;y:z"}},
        {nullptr, L"Rel\tease", kHeadings, {{L"C:\\V\\a\tb.txt", L"C:\\B\\a;b.txt"}},
         {L"Branch Name: Rel ease", L"Created By: anna", L"Created On: 23/11/1987 14:45:56",
          L"Index\tSource File\tBranch File", L"1\tC:\\V\\a b.txt\tC:\\B\\a;b.txt"}},
        {L":", L"Release", kHeadings, {{L"C:\\V\\a.txt", L"D:\\B\\a.txt"}},  // even the labels and the date
         {L"Branch Name; Release", L"Created By; anna", L"Created On; 23/11/1987 14;45;56",
          L"Index:Source File:Branch File", L"1:C;\\V\\a.txt:D;\\B\\a.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.expected[3]));
        SeparatorSettings settings(c.sList, L"LineageTest.CSV", kSwedishCsv);
        ScratchFolder folder;
        ExportSource source = MakeSource(c.headings, c.rows);
        source.branchName = c.branch;
        WriteFileList(source, folder.File(L"list.txt"));
        EXPECT_EQ(ReadBytes(folder.File(L"list.txt")), Utf16File(c.expected));
    }
}

} // namespace
