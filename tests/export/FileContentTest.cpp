// The exported file, byte for byte, for each way the user's settings choose the separator.
#include <gtest/gtest.h>

#include "ExportTestSupport.h"
#include "export/FileListExport.h"

namespace {

constexpr wchar_t kSwedishCsv[] = L"Microsoft Office Excel-fil med kommaavgr\u00e4nsade v\u00e4rden";

struct FileCase {
    const char* name;
    const wchar_t* listSeparator;    // nullptr: no "sList"
    const wchar_t* csvDescription;   // description of the ".CSV" class, or nullptr
    std::wstring branch;
    std::vector<std::wstring> headings;
    std::vector<std::vector<std::wstring>> rows;
    std::vector<std::wstring> expected;
};

const std::vector<std::wstring> kHeadings = {L"", L"Source File", L"Branch File"};

std::vector<FileCase> Cases() {
    return {
        {"Semicolon", L";", nullptr, L"Release", kHeadings,
         {{L"C:\\Vault\\a;b.txt", L"C:\\Branch\\a;b.txt"}, {L"C:\\Vault\\say \"hi\".txt", L"C:\\Branch\\x,y.txt"}},
         {L"Branch Name: Release", L"Created By: anna", L"Created On: 23/11/1987 14:45:56",
          L"Index;Source File;Branch File", L"1;C:\\Vault\\a:b.txt;C:\\Branch\\a:b.txt",
          L"2;C:\\Vault\\say \"hi\".txt;C:\\Branch\\x,y.txt"}},
        {"CommaQuotesInsteadOfReplacing", L",", nullptr, L"Release, final", kHeadings,
         {{L"C:\\Vault\\a,b.txt", L"C:\\Branch\\say \"hi\", ok.txt"}, {L"C:\\Vault\\\"q\".txt", L"C:\\B:x;y.txt"}},
         {L"\"Branch Name: Release, final\"", L"Created By: anna", L"Created On: 23/11/1987 14:45:56",
          L"Index,Source File,Branch File", L"1,\"C:\\Vault\\a,b.txt\",\"C:\\Branch\\say \"hi\", ok.txt\"",
          L"2,C:\\Vault\\\"q\".txt,C:\\B:x;y.txt"}},
        {"ColonReplacedBySemicolon", L":", nullptr, L"Release", kHeadings,
         {{L"C:\\Vault\\a.txt", L"D:\\Branch\\a.txt"}},
         {L"Branch Name; Release", L"Created By; anna", L"Created On; 23/11/1987 14;45;56",
          L"Index:Source File:Branch File", L"1:C;\\Vault\\a.txt:D;\\Branch\\a.txt"}},
        {"TabFromSwedishCsvType", nullptr, kSwedishCsv, L"Rel\tease", kHeadings,
         {{L"C:\\Vault\\a\tb.txt", L"C:\\Branch\\a;b.txt"}},
         {L"Branch Name: Rel ease", L"Created By: anna", L"Created On: 23/11/1987 14:45:56",
          L"Index\tSource File\tBranch File", L"1\tC:\\Vault\\a b.txt\tC:\\Branch\\a;b.txt"}},
        {"VerticalBar", L"|", nullptr, L"Release|2", kHeadings,
         {{L"C:\\Vault\\a|b.txt", L"C:\\Branch\\a,b.txt"}},
         {L"Branch Name: Release:2", L"Created By: anna", L"Created On: 23/11/1987 14:45:56",
          L"Index|Source File|Branch File", L"1|C:\\Vault\\a:b.txt|C:\\Branch\\a,b.txt"}},
        {"SeveralCharactersUseTheFirst", L",;", nullptr, L"Release", kHeadings,
         {{L"C:\\a;b.txt", L"C:\\c.txt"}},
         {L"Branch Name: Release", L"Created By: anna", L"Created On: 23/11/1987 14:45:56",
          L"Index,Source File,Branch File", L"1,C:\\a;b.txt,C:\\c.txt"}},
        {"DefaultWithoutSettings", nullptr, nullptr, L"Release", kHeadings,
         {{L"C:\\a;b.txt", L"C:\\c.txt"}},
         {L"Branch Name: Release", L"Created By: anna", L"Created On: 23/11/1987 14:45:56",
          L"Index;Source File;Branch File", L"1;C:\\a:b.txt;C:\\c.txt"}},
        {"SharedBranchHasFourFields", L";", nullptr, L"Release", {L"", L"Source File", L"Branch File", L"Shared"},
         {{L"C:\\a.txt", L"C:\\b.txt", L"Yes"}, {L"C:\\c.txt", L"C:\\d.txt", L""}},
         {L"Branch Name: Release", L"Created By: anna", L"Created On: 23/11/1987 14:45:56",
          L"Index;Source File;Branch File;Shared", L"1;C:\\a.txt;C:\\b.txt;Yes", L"2;C:\\c.txt;C:\\d.txt;"}},
        {"NoRowsStillHasHeaderAndHeadings", L";", nullptr, L"Release", kHeadings, {},
         {L"Branch Name: Release", L"Created By: anna", L"Created On: 23/11/1987 14:45:56",
          L"Index;Source File;Branch File"}},
        {"HeadingsAreCutAt99Characters", L";", nullptr, L"Release", {L"", std::wstring(120, L'h')}, {{L"x"}},
         {L"Branch Name: Release", L"Created By: anna", L"Created On: 23/11/1987 14:45:56",
          L"Index;" + std::wstring(99, L'h'), L"1;x"}},
        {"CellTextsAreNotCut", L";", nullptr, L"Release", {L"", L"Source File"}, {{std::wstring(5000, L'v')}},
         {L"Branch Name: Release", L"Created By: anna", L"Created On: 23/11/1987 14:45:56",
          L"Index;Source File", L"1;" + std::wstring(5000, L'v')}},
    };
}

class FileContent : public ::testing::TestWithParam<FileCase> {};

TEST_P(FileContent, IsExactlyTheExpectedBytes) {
    const FileCase& c = GetParam();
    SeparatorSettings settings;
    settings.ListSeparator(c.listSeparator);
    if (c.csvDescription) settings.CsvClass(L"LineageTest.CSV", c.csvDescription);
    ScratchFolder folder;
    const std::wstring path = folder.File(L"list.txt");

    WriteFileList(MakeSource(c.branch, L"anna", L"23/11/1987 14:45:56", c.headings, c.rows), path);

    EXPECT_EQ(ReadBytes(path), Utf16File(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Separators, FileContent, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<FileCase>& info) { return info.param.name; });

TEST(FileContentRows, AreAskedForInDisplayOrderOnce) {
    SeparatorSettings settings;
    settings.ListSeparator(L";");
    ScratchFolder folder;
    ExportSource source = MakeSource(L"B", L"c", L"d", kHeadings, {});
    source.rowCount = 3;
    std::vector<std::pair<int, int>> asked;
    source.cellText = [&asked](int row, int column) {
        asked.emplace_back(row, column);
        return L"r" + std::to_wstring(row) + L"c" + std::to_wstring(column);
    };

    WriteFileList(source, folder.File(L"list.txt"));

    const std::vector<std::pair<int, int>> expected = {{0, 1}, {0, 2}, {1, 1}, {1, 2}, {2, 1}, {2, 2}};
    EXPECT_EQ(asked, expected);
    EXPECT_EQ(ReadBytes(folder.File(L"list.txt")),
              Utf16File({L"Branch Name: B", L"Created By: c", L"Created On: d", L"Index;Source File;Branch File",
                         L"1;r0c1;r0c2", L"2;r1c1;r1c2", L"3;r2c1;r2c2"}));
}

}  // namespace
