#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "../glyphset/GlyphsetTestSupport.h"
#include "BranchDialog.h"
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
    // Wine shows a dialog without WS_VISIBLE once its queue first runs dry, which may follow WaitForDialog.
    for (int round = 0; round < 100 && !::IsWindowVisible(list); ++round)
        dialog->Sync();
    auto images = reinterpret_cast<HIMAGELIST>(::SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    for (int paint = 0; paint < 2; ++paint) {  // images are asked for only by painting; then from the cache
        ASSERT_TRUE(dialog->WaitForPaint(list));
        EXPECT_EQ(::ImageList_GetImageCount(images), 3) << "paint " << paint;
    }
    std::vector<int> rowImages;
    for (int row = 0; row < 6; ++row) {
        LVITEMW item{LVIF_IMAGE, row};
        ::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        rowImages.push_back(item.iImage);
    }
    EXPECT_EQ(rowImages, (std::vector<int>{0, 0, 0, 1, 1, 2})) << "images are added as the rows are painted";
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

} // namespace
