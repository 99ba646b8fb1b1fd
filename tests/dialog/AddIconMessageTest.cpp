// The list's add-icon message, sent by another thread of the host: one image more per message.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <memory>
#include <string>
#include <vector>
#include "DialogSession.h"
#include "TestVault.h"
#include "base/ScopedHandle.h"
#include "contracts/Glyphset.h"
#include "dbcall/VaultData.h"
#include "listview/VListCtrl.h"
#include "module/resource.h"

using namespace lineage_test;

namespace {

// The colour image of an icon, top row first.
std::vector<DWORD> Pixels(HICON icon) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info))
        return {};
    const ScopedHBITMAP colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    ::GetObjectW(colour.get(), sizeof(bm), &bm);
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(bmi.bmiHeader), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB};
    std::vector<DWORD> pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    const ScopedMemDC dc(::CreateCompatibleDC(nullptr));
    if (!::GetDIBits(dc.get(), colour.get(), 0, bm.bmHeight, pixels.data(), &bmi, DIB_RGB_COLORS))
        return {};
    return pixels;
}

// The library's unknown-type picture, at the list's size, in the list's colours.
std::vector<DWORD> UnknownTypePicture(HIMAGELIST like) {
    const HMODULE library = ::LoadLibraryW((ExecutableFolder() + kGlyphsetFileName).c_str());
    auto load = reinterpret_cast<GhLoadWfPngImageIconAsPerDpiFn>(::GetProcAddress(library, kGhLoadWfPngImageIconAsPerDpi));
    if (!load)
        return {};
    const ScopedHICON icon(load(L"PNG_UNKNOWN", 3));
    int cx = 0, cy = 0;
    ::ImageList_GetIconSize(like, &cx, &cy);
    const ScopedHIMAGELIST list(::ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 1, 1));
    ::ImageList_ReplaceIcon(list.get(), -1, icon.get());
    return Pixels(ScopedHICON(::ImageList_GetIcon(list.get(), 0, 0)).get());
}

class AddIconMessage : public ::testing::TestWithParam<const wchar_t*> {
protected:
    void SetUp() override {
        ASSERT_NE(ShowBranchDetailsEntry(), nullptr);
        auto data = std::make_shared<VaultData>();
        VaultBranch branch;
        branch.id = 7;
        branch.name = L"R";
        data->branches.push_back(branch);
        m_spMgr = CreateVaultSpMgr(data);
        DialogSession::Args args;
        args.branchId = 7;
        args.spMgr = m_spMgr.get();
        args.vault = &m_vault;
        m_session = std::make_unique<DialogSession>(args);
        ASSERT_TRUE(m_session->WaitForDialog());
        m_list = m_session->Item(IDC_FILE_LIST);
        m_images = reinterpret_cast<HIMAGELIST>(::SendMessageW(m_list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
        ASSERT_NE(m_images, nullptr);
    }

    std::unique_ptr<SpMgr> m_spMgr;
    TestVault m_vault{L"Engineering", L"C:\\vault\\"};
    std::unique_ptr<DialogSession> m_session;
    HWND m_list = nullptr;
    HIMAGELIST m_images = nullptr;
};

TEST_P(AddIconMessage, AppendsTheUnknownTypePictureForATypeWithoutIcon) {
    const int before = ::ImageList_GetImageCount(m_images);
    const std::wstring name = GetParam();
    const LRESULT count = ::SendMessageW(m_list, WM_VLIST_ADDICON, 0, reinterpret_cast<LPARAM>(name.c_str()));
    EXPECT_EQ(count, before + 1);
    EXPECT_EQ(::ImageList_GetImageCount(m_images), before + 1);
    const ScopedHICON added(::ImageList_GetIcon(m_images, static_cast<int>(count) - 1, 0));
    EXPECT_EQ(Pixels(added.get()), UnknownTypePicture(m_images));
}

INSTANTIATE_TEST_SUITE_P(Names, AddIconMessage,
                         ::testing::Values(L"C:\\vault\\Makefile", L"C:\\vault\\Release 2.1\\README",
                                           L"C:\\vault\\notes."));

TEST_F(AddIconMessage, AppendsOneImagePerMessageEvenForTheSameType) {
    const int before = ::ImageList_GetImageCount(m_images);
    const std::wstring name = L"C:\\vault\\a.txt";
    for (int sent = 1; sent <= 3; ++sent)
        EXPECT_EQ(::SendMessageW(m_list, WM_VLIST_ADDICON, 0, reinterpret_cast<LPARAM>(name.c_str())), before + sent);
}

}  // namespace
