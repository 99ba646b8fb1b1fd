// The exported file byte for byte, its temporary name, and "Save as CSV" with either style of save dialog.
#include <gtest/gtest.h>
#include "ExportHarness.h"
#include "export/ExportTexts.h"
#include "framework/CFileDialog.h"

namespace {

// The Vista-style item dialog hosts an explorer browser (Wine's class name); the classic one does not.
constexpr wchar_t kExplorer[] = L"ExplorerBrowserControl";

TEST(MessageFormat, PutsThePathWhereItSaysPercentSOnly) {
    for (const auto& [format, expected] : {std::pair{L"Could not open '%s'.", L"Could not open 'C:\\t'."},
                                           {L"%s and %s", L"C:\\t and C:\\t"}, {L"100%% of %s", L"100% of C:\\t"},
                                           {L"%d %ls %s", L"%d %ls C:\\t"}, {L"%s %", L"C:\\t %"}})
        EXPECT_EQ(FormatWithString(format, L"C:\\t"), expected) << Utf8(format);
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

// Types `path` over the proposed name in the file name box and presses Save.
DialogDriver::Answer Choose(const std::wstring& path, const wchar_t* proposed = L"Branched Files List.txt") {
    return [path, proposed](const SeenDialog& seen) {
        ::SetWindowTextW(seen.Find(L"Edit", proposed), path.c_str());
        DialogDriver::Press(seen.window, IDOK);
    };
}

TEST(SaveAsCsv, OffersNameAndFilterAndWritesTheChosenFileOnly) {
    ScratchFolder folder;
    ScopedTempFolder temp(folder.Path() + L"\\");
    SeparatorSettings settings;
    DialogDriver dialogs;
    const ExportSource source =
        MakeSource({L"", L"Source File", L"Branch File"}, {{L"C:\\a;b.txt", L"C:\\c.txt"}}, L"d", dialogs.owner);
    dialogs.Then([](const SeenDialog& seen) {
        EXPECT_TRUE(seen.Find(L"Edit", L"Branched Files List.txt"));
        EXPECT_EQ(::SendMessageW(seen.Find(L"ComboBox", L"Text Files (*.txt)"), CB_GETCOUNT, 0, 0), 2)
            << "the file types, the first one chosen";
        DialogDriver::Press(seen.window, IDCANCEL);
    });
    ExportFileList(source, kExportSaveAsCsv);
    ASSERT_EQ(dialogs.Seen().size(), 1u);
    EXPECT_EQ(dialogs.Seen()[0].owner, dialogs.owner);
    EXPECT_TRUE(dialogs.Seen()[0].Find(kExplorer, L"")) << "the item dialog";
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path())) << "cancelled";

    dialogs.Then(Choose(folder.File(L"chosen")));  // the default extension is added
    ExportFileList(source, kExportSaveAsCsv);
    EXPECT_EQ(ReadBytes(folder.File(L"chosen.txt")),
              Utf16File({L"Branch Name: Release", L"Created By: anna", L"Created On: d",
                         L"Index;Source File;Branch File", L"1;C:\\a:b.txt;C:\\c.txt"}));

    // Another program holds the file without sharing it.
    const std::wstring busyPath = folder.Write(L"busy.txt", "old");
    ScopedFileHandle busy(::CreateFileW(busyPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(busy);
    dialogs.Then(Choose(busyPath));
    dialogs.Then([](const SeenDialog& seen) { DialogDriver::Press(seen.window, IDYES); });  // replace it: yes
    ExportFileList(source, kExportSaveAsCsv);
    ASSERT_EQ(dialogs.Seen().size(), 5u);
    EXPECT_EQ(dialogs.LastMessage(), L"Failed to create file.");
    busy.reset();
    EXPECT_EQ(ReadBytes(busyPath), "old");

    // The classic dialog, shown when the item dialog cannot be made, answers the same way.
    for (const wchar_t* typed : {L"typed", static_cast<const wchar_t*>(nullptr)}) {  // nullptr: cancel
        SCOPED_TRACE(typed ? "typed" : "cancelled");
        dialogs.Then(typed ? Choose(folder.File(typed), L"proposed.txt")
                           : [](const SeenDialog& seen) { DialogDriver::Press(seen.window, IDCANCEL); });
        CFileDialog dialog(false, L"txt", L"proposed.txt", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER,
                           L"Text Files (*.txt)|*.txt|All Files (*.*)|*.*||", dialogs.owner, false);
        EXPECT_EQ(dialog.DoModal(), typed ? IDOK : IDCANCEL);
        const std::wstring expected = typed ? folder.File(L"typed.txt") : L"";  // with the default extension
        EXPECT_EQ(_wcsicmp(dialog.GetPathName().c_str(), expected.c_str()), 0) << Utf8(dialog.GetPathName());
        EXPECT_EQ(dialogs.Seen().back().owner, dialogs.owner);
        EXPECT_FALSE(dialogs.Seen().back().Find(kExplorer, L""));
    }
    EXPECT_EQ(dialogs.Seen().size(), 7u);

    // The first free temporary name: the folder keeps its backslash and one more comes before the name.
    for (const wchar_t* name : {L"Branched Files List.txt", L"Branched Files List1.txt", L"Branched Files List2.txt"}) {
        EXPECT_EQ(FindTemporaryExportPath(L"Branched Files List"), folder.Path() + L"\\\\" + name);
        folder.Write(name, "");
    }
}

} // namespace
