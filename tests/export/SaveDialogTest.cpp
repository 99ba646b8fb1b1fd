// "Save as CSV": the save dialog offers the file name and the filter; the chosen file is
// written, and cancelling writes nothing.
#include <gtest/gtest.h>

#include <algorithm>

#include "DialogDriver.h"
#include "ExportTestSupport.h"
#include "SpreadsheetStandIns.h"
#include "export/FileListExport.h"
#include "framework/CFileDialog.h"
#include "base/ScopedHandle.h"

namespace {

// The file name box and the file type list of a save dialog, found by what they hold rather
// than by id: the dialog's layout differs between systems.
struct EditSearch {
    const std::wstring* text;
    HWND found;
};

BOOL CALLBACK MatchEdit(HWND child, LPARAM lp) {
    auto* search = reinterpret_cast<EditSearch*>(lp);
    wchar_t cls[32] = {};
    wchar_t text[MAX_PATH] = {};
    GetClassNameW(child, cls, 32);
    GetWindowTextW(child, text, MAX_PATH);
    if (_wcsicmp(cls, L"Edit") == 0 && *search->text == text) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

HWND FindEditHolding(HWND dialog, const std::wstring& text) {
    EditSearch search{&text, nullptr};
    EnumChildWindows(dialog, MatchEdit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK CollectComboItems(HWND child, LPARAM lp) {
    wchar_t cls[32] = {};
    GetClassNameW(child, cls, 32);
    if (_wcsicmp(cls, L"ComboBox") != 0) return TRUE;
    auto* items = reinterpret_cast<std::vector<std::wstring>*>(lp);
    const LRESULT count = SendMessageW(child, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(child, CB_GETLBTEXTLEN, i, 0);
        if (length < 0) continue;
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(child, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length));
        items->push_back(text);
    }
    return TRUE;
}

std::vector<std::wstring> ComboItems(HWND dialog) {
    std::vector<std::wstring> items;
    EnumChildWindows(dialog, CollectComboItems, reinterpret_cast<LPARAM>(&items));
    return items;
}

// The Vista-style item dialog hosts an explorer browser (Wine's class name); the classic
// dialog does not.
bool IsItemDialog(const SeenDialog& seen) {
    return std::any_of(seen.controls.begin(), seen.controls.end(),
                       [](const SeenControl& c) { return c.className == L"ExplorerBrowserControl"; });
}

constexpr wchar_t kProposedName[] = L"Branched Files List.txt";

// Types `path` over the proposed name in the file name box and presses Save.
DialogDriver::Answer ChooseFile(const std::wstring& path, const std::wstring& proposed = kProposedName) {
    return [path, proposed](const SeenDialog& seen) {
        if (HWND edit = FindEditHolding(seen.window, proposed)) SetWindowTextW(edit, path.c_str());
        DialogDriver::Press(seen.window, IDOK);
    };
}

class SaveAsCsv : public ::testing::Test {
protected:
    ScratchFolder folder;
    SeparatorSettings settings;
    OwnerWindow owner;
    DialogDriver dialogs;
    ExportSource source = MakeSource(L"Release", L"anna", L"23/11/1987 14:45:56",
                                     {L"", L"Source File", L"Branch File"}, {{L"C:\\a;b.txt", L"C:\\c.txt"}});
    SaveAsCsv() {
        settings.ListSeparator(L";");
        source.owner = owner.get();
    }
};

TEST_F(SaveAsCsv, TheDialogOffersTheFileNameAndTheFilter) {
    std::wstring proposed;
    std::vector<std::wstring> types;
    dialogs.Then([&](const SeenDialog& seen) {
        if (FindEditHolding(seen.window, kProposedName)) proposed = kProposedName;
        types = ComboItems(seen.window);
        DialogDriver::Press(seen.window, IDCANCEL);
    });

    ExportFileList(source, kExportSaveAsCsv);

    ASSERT_EQ(dialogs.Seen().size(), 1u);
    EXPECT_EQ(dialogs.Seen()[0].owner, owner.get());
    EXPECT_TRUE(IsItemDialog(dialogs.Seen()[0]));
    EXPECT_EQ(proposed, L"Branched Files List.txt");
    EXPECT_NE(std::find(types.begin(), types.end(), L"Text Files (*.txt)"), types.end());
    EXPECT_NE(std::find(types.begin(), types.end(), L"All Files (*.*)"), types.end());
}

TEST_F(SaveAsCsv, ConfirmingWritesTheChosenFile) {
    const std::wstring chosen = folder.File(L"chosen.txt");
    dialogs.Then(ChooseFile(chosen));

    ExportFileList(source, kExportSaveAsCsv);

    EXPECT_EQ(ReadBytes(chosen), Utf16File({L"Branch Name: Release", L"Created By: anna",
                                            L"Created On: 23/11/1987 14:45:56", L"Index;Source File;Branch File",
                                            L"1;C:\\a:b.txt;C:\\c.txt"}));
    EXPECT_EQ(dialogs.Seen().size(), 1u);
}

TEST_F(SaveAsCsv, CancellingWritesNothingAndShowsNothing) {
    ScopedEnvironment tmp(L"TMP", folder.Path() + L"\\");
    dialogs.Then([&](const SeenDialog& seen) { DialogDriver::Press(seen.window, IDCANCEL); });

    ExportFileList(source, kExportSaveAsCsv);

    EXPECT_EQ(dialogs.Seen().size(), 1u);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(folder.File(L"*.txt").c_str(), &data);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE);
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
}

TEST_F(SaveAsCsv, AFileThatCannotBeOpenedIsReportedAndKeptAsItWas) {
    const std::wstring chosen = folder.File(L"busy.txt");
    // Another program holds the file without sharing it.
    ScopedFileHandle busy(CreateFileW(chosen.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(busy);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(busy.get(), "old", 3, &written, nullptr));
    dialogs.Then(ChooseFile(chosen));
    // The dialog asks whether to replace the existing file: yes.
    dialogs.Then([](const SeenDialog& seen) { DialogDriver::Press(seen.window, IDYES); });

    ExportFileList(source, kExportSaveAsCsv);

    ASSERT_EQ(dialogs.Seen().size(), 3u);
    EXPECT_EQ(dialogs.Seen()[2].message, L"Failed to create file.");
    EXPECT_EQ(dialogs.Seen()[2].buttons, std::vector<int>{IDOK});
    EXPECT_EQ(dialogs.Seen()[2].owner, owner.get());
    busy.reset();
    EXPECT_EQ(ReadBytes(chosen), "old");
}

struct FileDialogCase {
    const char* name;
    bool vistaStyle;
    const wchar_t* typed;      // what the user types over the proposed name
    const wchar_t* expected;   // the file name GetPathName ends with
};

const FileDialogCase kFileDialogCases[] = {
    {"ItemDialogReturnsTheTypedPath", true, L"typed.txt", L"typed.txt"},
    {"ItemDialogAddsTheDefaultExtension", true, L"typed", L"typed.txt"},
    {"ClassicDialogReturnsTheTypedPath", false, L"typed.txt", L"typed.txt"},
    {"ClassicDialogAddsTheDefaultExtension", false, L"typed", L"typed.txt"},
};

class FileDialog : public ::testing::TestWithParam<FileDialogCase> {};

TEST_P(FileDialog, AnswersOkWithTheChosenPath) {
    const FileDialogCase& c = GetParam();
    ScratchFolder folder;
    OwnerWindow owner;
    DialogDriver dialogs;
    dialogs.Then(ChooseFile(folder.File(c.typed), L"proposed.txt"));
    CFileDialog dialog(false, L"txt", L"proposed.txt", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER,
                       L"Text Files (*.txt)|*.txt|All Files (*.*)|*.*||", owner.get(), c.vistaStyle);

    EXPECT_EQ(dialog.DoModal(), IDOK);

    EXPECT_EQ(_wcsicmp(dialog.GetPathName().c_str(), folder.File(c.expected).c_str()), 0)
        << Utf8(dialog.GetPathName());
    EXPECT_EQ(dialog.GetFileName(), c.expected);
    ASSERT_EQ(dialogs.Seen().size(), 1u);
    EXPECT_EQ(dialogs.Seen()[0].owner, owner.get());
    EXPECT_EQ(IsItemDialog(dialogs.Seen()[0]), c.vistaStyle);
}

INSTANTIATE_TEST_SUITE_P(Styles, FileDialog, ::testing::ValuesIn(kFileDialogCases),
                         [](const ::testing::TestParamInfo<FileDialogCase>& info) { return info.param.name; });

class FileDialogCancel : public ::testing::TestWithParam<bool> {};

TEST_P(FileDialogCancel, AnswersCancelWithNoPath) {
    OwnerWindow owner;
    DialogDriver dialogs;
    dialogs.Then([](const SeenDialog& seen) { DialogDriver::Press(seen.window, IDCANCEL); });
    CFileDialog dialog(false, L"txt", L"proposed.txt", OFN_OVERWRITEPROMPT, nullptr, owner.get(), GetParam());

    EXPECT_EQ(dialog.DoModal(), IDCANCEL);

    EXPECT_TRUE(dialog.GetPathName().empty());
    ASSERT_EQ(dialogs.Seen().size(), 1u);
    EXPECT_EQ(IsItemDialog(dialogs.Seen()[0]), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Styles, FileDialogCancel, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "ItemDialog" : "ClassicDialog";
                         });

TEST(FileDialogFilter, IsSplitIntoDescriptionAndPattern) {
    CFileDialog dialog(false, L"txt", L"a.txt", 0, L"Text Files (*.txt)|*.txt|All Files (*.*)|*.*||");
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {{L"Text Files (*.txt)", L"*.txt"},
                                                                          {L"All Files (*.*)", L"*.*"}};
    EXPECT_EQ(dialog.GetFileTypes(), expected);
}

}  // namespace
