// The list's add-icon message, sent by another thread of the host: one image more per message.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "BranchDialog.h"
#include "contracts/Glyphset.h"
#include "listview/VListCtrl.h"

using namespace lineage_test;

namespace {

// The colour image of image `index` of `images`, top row first.
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

TEST(AddIconMessage, AppendsTheUnknownTypePictureOncePerMessageEvenForTheSameType) {
    BranchDialog dialog({7, L"R"});
    auto images = reinterpret_cast<HIMAGELIST>(::SendMessageW(dialog.List(), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    ASSERT_NE(images, nullptr);
    // The library's unknown-type picture, at the list's size, in the list's colours.
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

    const int before = ::ImageList_GetImageCount(images);
    int sent = 0;
    for (const wchar_t* name : {L"C:\\vault\\Makefile", L"C:\\vault\\Release 2.1\\README", L"C:\\vault\\notes.",
                                L"C:\\vault\\a.txt", L"C:\\vault\\a.txt"}) {
        SCOPED_TRACE(name);
        const LRESULT count = ::SendMessageW(dialog.List(), WM_VLIST_ADDICON, 0, reinterpret_cast<LPARAM>(name));
        EXPECT_EQ(count, before + ++sent);
        EXPECT_EQ(::ImageList_GetImageCount(images), before + sent);
        if (sent <= 3)
            EXPECT_EQ(Pixels(images, int(count) - 1), unknown);
    }
}

} // namespace
