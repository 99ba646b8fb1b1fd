// The "Type" column: the registered icon of each file's type, one image per extension; and the
// dialog's texts from a translation file.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <filesystem>
#include <fstream>
#include "BranchDialog.h"
#include "ChildProcess.h"

using namespace lineage_test;

namespace {

TEST(TypeIcons, OneImagePerLowerCasedExtensionAndTheRegisteredIconInItsCell) {
    // A type registered for the whole machine, as an installer would.
    const std::wstring icon = ExecutableFolder() + L"IconLib.dll,-100";  // red
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.lntesta", nullptr, REG_SZ, L"LineageTest.TypeA", 36);
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\LineageTest.TypeA\\DefaultIcon", nullptr, REG_SZ,
                      icon.c_str(), DWORD((icon.size() + 1) * sizeof(wchar_t)));
    // "lntesta" in three letter cases, no extension twice, one unregistered type.
    BranchDialog dialog({7, L"R", L"anna", 0,
                         {BranchFile(1, 11, L"a.lntesta", L"", L""), BranchFile(2, 12, L"B.LNTESTA", L"", L""),
                          BranchFile(3, 13, L"c.LnTestA", L"", L""), BranchFile(4, 14, L"Makefile", L"", L""),
                          BranchFile(5, 15, L"README", L"", L""), BranchFile(6, 16, L"z.lineagenotregistered", L"", L"")}});
    HWND list = dialog.List();
    auto images = [list] {
        auto imageList = reinterpret_cast<HIMAGELIST>(::SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
        return imageList ? ::ImageList_GetImageCount(imageList) : -1;
    };
    auto imageOf = [list](int row) {
        LVITEMW item{LVIF_IMAGE, row};
        ::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.iImage;
    };
    for (int paint = 0; paint < 2; ++paint) {  // images are asked for only by painting; then from the cache
        ASSERT_TRUE(dialog->WaitForPaint(list));
        EXPECT_EQ(images(), 3) << "paint " << paint;
    }
    EXPECT_EQ(imageOf(0), imageOf(1));
    EXPECT_EQ(imageOf(1), imageOf(2));
    EXPECT_EQ(imageOf(3), imageOf(4));
    EXPECT_NE(imageOf(0), imageOf(3));
    EXPECT_NE(imageOf(5), imageOf(0));

    // Row 1: the first row is selected, and selection tints its icon.
    RECT cell{LVIR_ICON, 0};
    ASSERT_TRUE(::SendMessageW(list, LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&cell)));
    const Capture capture = CaptureWindow(list);
    const RECT window = WindowRect(list);
    ::MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&cell), 2);
    int red = 0;
    for (int y = cell.top; y < cell.bottom; ++y)
        for (int x = cell.left; x < cell.right; ++x)
            red += capture.At(x - window.left, y - window.top) == 0xDC0000;
    EXPECT_GT(red, 100) << "the registered red icon should fill most of the 16x16 cell";
    dialog->PressClose();
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.lntesta");
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\LineageTest.TypeA");
}

// The text service reads its strings file once per process: the dialog runs in a child.
TEST(TranslatedDialog, TakesEveryTextFromTheStringsFile) {
    const std::wstring strings = ExecutableFolder() + L"lineage-dialog-de.strings";
    std::ofstream(std::filesystem::path(strings), std::ios::binary) << "[BranchDetailsDlg TS]\n1=Zugeh\xC3\xB6rige Zweige: \n"
        "2=Erstellt von:\n3=Erstellt am:\n4=Typ\n5=Quelldatei\n6=Zweigdatei\n7=Hilfe\n8=Schlie\xC3\x9F" "en\n"
        "14=Geteilt\n15=Ja\n";
    ::SetEnvironmentVariableW(L"TXTRES_STRINGS", strings.c_str());
    EXPECT_TRUE(RunTestInChild("TranslatedDialog.DISABLED_InTheChild", {}));
    ::SetEnvironmentVariableW(L"TXTRES_STRINGS", nullptr);
    ::DeleteFileW(strings.c_str());
}

TEST(TranslatedDialog, DISABLED_InTheChild) {
    ASSERT_TRUE(IsTestChild());
    BranchDialog dialog({8, L"Customer A", L"bj\u00f6rn", 0, {BranchFile(1, 11, L"a.txt", L"", L"", true)}});
    EXPECT_EQ(dialog->Caption(), L"Zugeh\u00f6rige Zweige: Customer A");
    const std::pair<int, const wchar_t*> texts[] = {{IDC_CREATED_BY_LABEL, L"Erstellt von:"},
        {IDC_CREATED_ON_LABEL, L"Erstellt am:"}, {IDC_HELP_BUTTON, L"Hilfe"}, {IDC_CLOSE, L"Schlie\u00dfen"}};
    for (const auto& [id, text] : texts)
        EXPECT_EQ(dialog->Text(id), text);
    std::vector<std::wstring> headings;
    for (const ListColumn& column : ReadColumns(dialog.List()))
        headings.push_back(column.heading);
    EXPECT_EQ(headings, (std::vector<std::wstring>{L"Typ", L"Quelldatei", L"Zweigdatei", L"Geteilt"}));
    EXPECT_EQ(CellText(dialog.List(), 0, 3), L"Ja");
}

} // namespace
