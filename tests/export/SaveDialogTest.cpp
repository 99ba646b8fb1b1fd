// "Save as CSV": the save dialog offers the file name and the filter; the chosen file is written,
// cancelling writes nothing, and a file that cannot be opened is reported and kept as it was.
#include <gtest/gtest.h>
#include <algorithm>
#include "ExportHarness.h"
#include "framework/CFileDialog.h"

namespace {

// The Vista-style item dialog hosts an explorer browser (Wine's class name); the classic one does not.
bool IsItemDialog(const SeenDialog& seen) {
    return std::any_of(seen.controls.begin(), seen.controls.end(),
                       [](const auto& control) { return control.first == L"ExplorerBrowserControl"; });
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
    bool nameOffered = false;
    LRESULT types = 0;
    dialogs.Then([&](const SeenDialog& seen) {
        nameOffered = seen.Find(L"Edit", L"Branched Files List.txt") != nullptr;
        types = ::SendMessageW(seen.Find(L"ComboBox", L"Text Files (*.txt)"), CB_GETCOUNT, 0, 0);
        DialogDriver::Press(seen.window, IDCANCEL);
    });
    ExportFileList(source, kExportSaveAsCsv);
    ASSERT_EQ(dialogs.Seen().size(), 1u);
    EXPECT_EQ(dialogs.Seen()[0].owner, dialogs.owner);
    EXPECT_TRUE(IsItemDialog(dialogs.Seen()[0]));
    EXPECT_TRUE(nameOffered);
    EXPECT_EQ(types, 2) << "the file types, the first one chosen";
    EXPECT_TRUE(folder.Empty()) << "cancelled";

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
    EXPECT_EQ(dialogs.Seen()[4].message, L"Failed to create file.");
    EXPECT_EQ(dialogs.Seen()[4].owner, dialogs.owner);
    busy.reset();
    EXPECT_EQ(ReadBytes(busyPath), "old");
}

// The classic dialog, shown when the item dialog cannot be made, answers the same way.
TEST(FileDialog, TheClassicStyleAnswersWithTheChosenPathOrCancel) {
    ScratchFolder folder;
    DialogDriver dialogs;
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
        EXPECT_FALSE(IsItemDialog(dialogs.Seen().back()));
    }
    EXPECT_EQ(dialogs.Seen().size(), 2u);
}

} // namespace
