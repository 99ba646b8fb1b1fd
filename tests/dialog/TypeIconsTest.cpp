#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <filesystem>
#include <fstream>
#include "../glyphset/GlyphsetTestSupport.h"
#include "BranchDialog.h"
#include "ChildProcess.h"
#include "contracts/Glyphset.h"
#include "listview/VListCtrl.h"

using namespace lineage_test;

namespace {

std::vector<DWORD> Pixels(HIMAGELIST images, int index) {
    const ScopedHICON icon(::ImageList_GetIcon(images, index, 0));
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon.get(), &info))
        return {};
    const ScopedHBITMAP colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    ::GetObjectW(colour.get(), sizeof(bm), &bm);
    BITMAPINFO bmi{{sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB}};
    std::vector<DWORD> pixels(size_t(bm.bmWidth) * bm.bmHeight);
    const ScopedMemDC dc(::CreateCompatibleDC(nullptr));
    ::GetDIBits(dc.get(), colour.get(), 0, bm.bmHeight, pixels.data(), &bmi, DIB_RGB_COLORS);
    return pixels;
}

TEST(TypeIcons, OneImagePerLowerCasedExtensionTheRegisteredIconInItsCellAndOneMorePerAddIcon) {
    const std::wstring icon = ExecutableFolder() + L"IconLib.dll,-100";  // red
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.lntesta", nullptr, REG_SZ, L"LineageTest.TypeA", 36);
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\LineageTest.TypeA\\DefaultIcon", nullptr, REG_SZ,
                      icon.c_str(), DWORD((icon.size() + 1) * sizeof(wchar_t)));
    BranchDialog dialog({7, L"R", L"anna", 0,
                         {BranchFile(1, 11, L"a.lntesta", L"", L""), BranchFile(2, 12, L"B.LNTESTA", L"", L""),
                          BranchFile(3, 13, L"c.LnTestA", L"", L""), BranchFile(4, 14, L"Makefile", L"", L""),
                          BranchFile(5, 15, L"README", L"", L""), BranchFile(6, 16, L"z.notregistered", L"", L"")}});
    HWND list = dialog.List();
    for (int paint = 0; paint < 2; ++paint) {  // images are asked for only by painting; then from the cache
        ASSERT_TRUE(dialog->WaitForPaint(list));
        auto images = reinterpret_cast<HIMAGELIST>(::SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
        EXPECT_EQ(::ImageList_GetImageCount(images), 3) << "paint " << paint;
    }
    std::vector<int> rowImages;
    for (int row = 0; row < 6; ++row) {
        LVITEMW item{LVIF_IMAGE, row};
        ::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        rowImages.push_back(item.iImage);
    }
    const int lntesta = rowImages[0], none = rowImages[3];
    EXPECT_NE(lntesta, none);
    EXPECT_NE(rowImages[5], lntesta);
    EXPECT_EQ(rowImages, (std::vector<int>{lntesta, lntesta, lntesta, none, none, rowImages[5]}));
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
    // A host's thread adds the library's unknown-type picture, at the list's size, once a message.
    auto images = reinterpret_cast<HIMAGELIST>(::SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    const ScopedHMODULE library(::LoadLibraryW((ExecutableFolder() + kGlyphsetFileName).c_str()));
    auto load = reinterpret_cast<GhLoadWfPngImageIconAsPerDpiFn>(
        ::GetProcAddress(library.get(), kGhLoadWfPngImageIconAsPerDpi));
    ASSERT_TRUE(load);
    int cx = 0, cy = 0;
    ::ImageList_GetIconSize(images, &cx, &cy);
    const ScopedHIMAGELIST alike(::ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 1, 1));
    ::ImageList_ReplaceIcon(alike.get(), -1, ScopedHICON(load(L"PNG_UNKNOWN", 3)).get());
    const std::vector<DWORD> unknown = Pixels(alike.get(), 0);
    ASSERT_FALSE(unknown.empty());
    for (const wchar_t* name : {L"C:\\vault\\Makefile", L"C:\\vault\\Release 2.1\\README", L"C:\\vault\\notes.",
                                L"C:\\vault\\notes."}) {
        const int before = ::ImageList_GetImageCount(images);
        EXPECT_EQ(::SendMessageW(list, WM_VLIST_ADDICON, 0, reinterpret_cast<LPARAM>(name)), before + 1) << name;
        EXPECT_EQ(Pixels(images, before), unknown) << name;
    }
    dialog->PressClose();
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.lntesta");
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\LineageTest.TypeA");
}

// The text service reads its strings file, and the window icons are loaded, once per process: a child runs it.
TEST(TranslatedDialog, TakesEveryTextFromTheStringsFileAndOpensWithoutTheIconLibrary) {
    glyphset_test::LocationValue location(std::filesystem::temp_directory_path().c_str());
    const std::wstring strings = ExecutableFolder() + L"lineage-dialog-de.strings";
    std::ofstream(std::filesystem::path(strings), std::ios::binary)
        << "[BranchDetailsDlg TS]\n1=Zugeh\xC3\xB6rige Zweige: \n2=Erstellt von:\n3=Erstellt am:\n4=Typ\n"
           "5=Quelldatei\n6=Zweigdatei\n7=Hilfe\n8=Schlie\xC3\x9F" "en\n14=Geteilt\n15=Ja\n";
    ::SetEnvironmentVariableW(L"TXTRES_STRINGS", strings.c_str());
    EXPECT_TRUE(RunTestInChild("TranslatedDialog.DISABLED_InTheChild", {}));
    ::SetEnvironmentVariableW(L"TXTRES_STRINGS", nullptr);
    ::DeleteFileW(strings.c_str());
}

TEST(TranslatedDialog, DISABLED_InTheChild) {
    ASSERT_TRUE(IsTestChild());
    BranchDialog dialog({8, L"Customer A", L"bj\u00f6rn", 0, {BranchFile(1, 11, L"a.txt", L"", L"", true)}});
    EXPECT_EQ(dialog->Caption(), L"Zugeh\u00f6rige Zweige: Customer A");
    for (WPARAM kind : {ICON_SMALL, ICON_BIG})
        EXPECT_FALSE(::SendMessageW(dialog->Dialog(), WM_GETICON, kind, 0));
    std::wstring texts;
    for (int id : {IDC_CREATED_BY_LABEL, IDC_CREATED_ON_LABEL, IDC_HELP_BUTTON, IDC_CLOSE})
        texts += dialog->Text(id) + L"|";
    for (const ListColumn& column : ReadColumns(dialog.List()))
        texts += column.heading + L"|";
    EXPECT_EQ(texts + CellText(dialog.List(), 0, 3),
              L"Erstellt von:|Erstellt am:|Hilfe|Schlie\u00dfen|Typ|Quelldatei|Zweigdatei|Geteilt|Ja");
}

} // namespace
