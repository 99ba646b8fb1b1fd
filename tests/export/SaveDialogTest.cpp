// "Save as CSV": the save dialog offers the file name and the filter; the chosen file is
// written, cancelling writes nothing, and a file that cannot be opened is reported.
#include <gtest/gtest.h>
#include <algorithm>
#include "DialogDriver.h"
#include "SpreadsheetStandIns.h"
#include "framework/CFileDialog.h"

namespace {

// A control of a save dialog found by its class and text rather than by id: the dialog's
// layout differs between systems.
HWND Find(const SeenDialog& seen, const wchar_t* cls, const std::wstring& text) {
    for (const SeenControl& c : seen.controls)
        if (_wcsicmp(c.className.c_str(), cls) == 0 && c.text == text)
            return c.window;
    return nullptr;
}

std::vector<std::wstring> FileTypes(const SeenDialog& seen) {
    std::vector<std::wstring> items;
    for (const SeenControl& c : seen.controls)
        for (int i = 0; _wcsicmp(c.className.c_str(), L"ComboBox") == 0 && i < ::SendMessageW(c.window, CB_GETCOUNT, 0, 0); ++i) {
            std::wstring text(size_t(::SendMessageW(c.window, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
            text.resize(size_t(::SendMessageW(c.window, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
            items.push_back(text);
        }
    return items;
}

// The Vista-style item dialog hosts an explorer browser (Wine's class name); the classic one does not.
bool IsItemDialog(const SeenDialog& seen) {
    return std::any_of(seen.controls.begin(), seen.controls.end(),
                       [](const SeenControl& c) { return c.className == L"ExplorerBrowserControl"; });
}

// Types `path` over the proposed name in the file name box and presses Save.
DialogDriver::Answer ChooseFile(const std::wstring& path, const wchar_t* proposed = L"Branched Files List.txt") {
    return [path, proposed](const SeenDialog& seen) {
        ::SetWindowTextW(Find(seen, L"Edit", proposed), path.c_str());
        DialogDriver::Press(seen.window, IDOK);
    };
}

class SaveAsCsv : public ::testing::Test {
protected:
    ScratchFolder folder;
    SeparatorSettings settings;
    OwnerWindow owner;
    DialogDriver dialogs;
    ExportSource source = MakeSource({L"", L"Source File", L"Branch File"}, {{L"C:\\a;b.txt", L"C:\\c.txt"}});
    SaveAsCsv() { source.owner = owner.get(); }
};

TEST_F(SaveAsCsv, TheItemDialogOffersNameAndFilterAndCancellingWritesNothing) {
    ScopedTempFolder temp(folder.Path() + L"\\");
    std::vector<std::wstring> types;
    bool nameOffered = false;
    dialogs.Then([&](const SeenDialog& seen) {
        nameOffered = Find(seen, L"Edit", L"Branched Files List.txt") != nullptr;
        types = FileTypes(seen);
        DialogDriver::Press(seen.window, IDCANCEL);
    });
    ExportFileList(source, kExportSaveAsCsv);
    ASSERT_EQ(dialogs.Seen().size(), 1u);
    EXPECT_EQ(dialogs.Seen()[0].owner, owner.get());
    EXPECT_TRUE(IsItemDialog(dialogs.Seen()[0]));
    EXPECT_TRUE(nameOffered);
    EXPECT_EQ(std::count(types.begin(), types.end(), L"Text Files (*.txt)"), 1);
    EXPECT_EQ(std::count(types.begin(), types.end(), L"All Files (*.*)"), 1);
    EXPECT_TRUE(folder.Files().empty());
}

TEST_F(SaveAsCsv, ConfirmingWritesTheChosenFile) {
    dialogs.Then(ChooseFile(folder.File(L"chosen.txt")));
    ExportFileList(source, kExportSaveAsCsv);
    EXPECT_EQ(ReadBytes(folder.File(L"chosen.txt")),
              Utf16File({L"Branch Name: Release", L"Created By: anna", L"Created On: 23/11/1987 14:45:56",
                         L"Index;Source File;Branch File", L"1;C:\\a:b.txt;C:\\c.txt"}));
    EXPECT_EQ(dialogs.Seen().size(), 1u);
}

TEST_F(SaveAsCsv, AFileThatCannotBeOpenedIsReportedAndKeptAsItWas) {
    // Another program holds the file without sharing it.
    const std::wstring chosen = folder.Write(L"busy.txt", "old");
    ScopedFileHandle busy(::CreateFileW(chosen.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(busy);
    dialogs.Then(ChooseFile(chosen));
    dialogs.Then([](const SeenDialog& seen) { DialogDriver::Press(seen.window, IDYES); });  // replace it: yes
    ExportFileList(source, kExportSaveAsCsv);
    ASSERT_EQ(dialogs.Seen().size(), 3u);
    EXPECT_EQ(dialogs.Seen()[2].message, L"Failed to create file.");
    EXPECT_EQ(dialogs.Seen()[2].buttons, std::vector<int>{IDOK});
    EXPECT_EQ(dialogs.Seen()[2].owner, owner.get());
    busy.reset();
    EXPECT_EQ(ReadBytes(chosen), "old");
}

TEST(FileDialog, AnswersWithTheChosenPathOrCancelInEitherStyle) {
    for (bool itemDialog : {true, false}) {
        for (const wchar_t* typed : {L"typed.txt", L"typed", static_cast<const wchar_t*>(nullptr)}) {  // nullptr: cancel
            SCOPED_TRACE(testing::Message() << (itemDialog ? "item dialog " : "classic dialog ")
                                            << (typed ? Utf8(typed) : "cancelled"));
            ScratchFolder folder;
            OwnerWindow owner;
            DialogDriver dialogs;
            if (typed)
                dialogs.Then(ChooseFile(folder.File(typed), L"proposed.txt"));
            else
                dialogs.Then([](const SeenDialog& seen) { DialogDriver::Press(seen.window, IDCANCEL); });
            CFileDialog dialog(false, L"txt", L"proposed.txt", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER,
                               L"Text Files (*.txt)|*.txt|All Files (*.*)|*.*||", owner.get(), itemDialog);
            EXPECT_EQ(dialog.DoModal(), typed ? IDOK : IDCANCEL);
            // The default extension is added to a name without one.
            const std::wstring expected = typed ? folder.File(L"typed.txt") : L"";
            EXPECT_EQ(_wcsicmp(dialog.GetPathName().c_str(), expected.c_str()), 0) << Utf8(dialog.GetPathName());
            if (typed) {
                EXPECT_EQ(dialog.GetFileName(), L"typed.txt");
            }
            ASSERT_EQ(dialogs.Seen().size(), 1u);
            EXPECT_EQ(dialogs.Seen()[0].owner, owner.get());
            EXPECT_EQ(IsItemDialog(dialogs.Seen()[0]), itemDialog);
        }
    }
    CFileDialog dialog(false, L"txt", L"a.txt", 0, L"Text Files (*.txt)|*.txt|All Files (*.*)|*.*||");
    EXPECT_EQ(dialog.GetFileTypes(), (std::vector<std::pair<std::wstring, std::wstring>>{
                                         {L"Text Files (*.txt)", L"*.txt"}, {L"All Files (*.*)", L"*.*"}}));
}

} // namespace
