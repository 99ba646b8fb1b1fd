// The "Type" column: the registered icon of each file's type, one image per extension.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <memory>
#include <string>
#include "DialogSession.h"
#include "TestVault.h"
#include "dbcall/VaultData.h"

using namespace lineage_test;

namespace {

constexpr uint32_t kRed = 0xDC0000;  // the colour of IconLib.dll's icon 100

// A file type registered for the whole machine, as an installer would, removed afterwards.
class RegisteredType {
public:
    RegisteredType(const wchar_t* extension, const wchar_t* progId, const std::wstring& defaultIcon)
        : m_extension(std::wstring(L"Software\\Classes\\.") + extension),
          m_progId(std::wstring(L"Software\\Classes\\") + progId) {
        SetDefault(m_extension, progId);
        SetDefault(m_progId, L"Lineage test type");
        SetDefault(m_progId + L"\\DefaultIcon", defaultIcon.c_str());
    }
    RegisteredType(const RegisteredType&) = delete;
    RegisteredType& operator=(const RegisteredType&) = delete;
    ~RegisteredType() {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, m_extension.c_str());
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, m_progId.c_str());
    }

private:
    static void SetDefault(const std::wstring& key, const wchar_t* value) {
        ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, REG_SZ, value,
                          static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
    }
    std::wstring m_extension;
    std::wstring m_progId;
};

VaultBranchFile File(int id, const wchar_t* name) {
    VaultBranchFile f;
    f.sourceDocId = id;
    f.branchDocId = 1000 + id;
    f.sourceName = f.branchName = name;
    f.sourceFolder = L"src\\";
    f.branchFolder = L"br\\";
    return f;
}

class TypeIcons : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(ShowBranchDetailsEntry(), nullptr);
        m_type = std::make_unique<RegisteredType>(L"lntesta", L"LineageTest.TypeA",
                                                  ExecutableFolder() + L"IconLib.dll,-100");
        auto data = std::make_shared<VaultData>();
        VaultBranch branch;
        branch.id = 7;
        branch.name = L"R";
        branch.files = {File(1, L"a.lntesta"), File(2, L"B.LNTESTA"), File(3, L"c.LnTestA"), File(4, L"Makefile"),
                        File(5, L"README"), File(6, L"z.lineagenotregistered")};
        data->branches.push_back(branch);
        m_spMgr = CreateVaultSpMgr(data);
        DialogSession::Args args;
        args.branchId = 7;
        args.spMgr = m_spMgr.get();
        args.vault = &m_vault;
        m_session = std::make_unique<DialogSession>(args);
        ASSERT_TRUE(m_session->WaitForDialog());
        m_list = m_session->Item(4004);
        // Images are asked for only by painting.
        ASSERT_TRUE(m_session->WaitForPaint(m_list));
    }
    void TearDown() override { m_session.reset(); }

    int ImageCount() const {
        auto images = reinterpret_cast<HIMAGELIST>(::SendMessageW(m_list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
        return images ? ::ImageList_GetImageCount(images) : -1;
    }
    int ImageOf(int row) const {
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        ::SendMessageW(m_list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.iImage;
    }

    std::unique_ptr<RegisteredType> m_type;
    std::unique_ptr<SpMgr> m_spMgr;
    TestVault m_vault{L"Engineering", L"C:\\vault\\"};
    std::unique_ptr<DialogSession> m_session;
    HWND m_list = nullptr;
};

TEST_F(TypeIcons, OneImagePerLowerCasedExtensionHoweverManyRowsShareIt) {
    // "lntesta" in three letter cases, no extension twice, one unregistered type.
    EXPECT_EQ(ImageCount(), 3) << "painting asks for every row's image";
    EXPECT_EQ(ImageOf(0), ImageOf(1));
    EXPECT_EQ(ImageOf(1), ImageOf(2));
    EXPECT_EQ(ImageOf(3), ImageOf(4));
    EXPECT_NE(ImageOf(0), ImageOf(3));
    EXPECT_NE(ImageOf(5), ImageOf(0));
    ASSERT_TRUE(m_session->WaitForPaint(m_list));
    EXPECT_EQ(ImageCount(), 3) << "a second paint finds every type in the cache";
}

TEST_F(TypeIcons, TheTypeCellOfARegisteredTypeShowsItsIcon) {
    // Row 1: the first row is selected, and selection tints its icon.
    RECT icon{};
    icon.top = 0;
    icon.left = LVIR_ICON;
    ASSERT_TRUE(::SendMessageW(m_list, LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&icon)));
    ::MapWindowPoints(m_list, nullptr, reinterpret_cast<POINT*>(&icon), 2);
    RECT list{};
    ::GetWindowRect(m_list, &list);
    Capture capture = CaptureWindow(m_list);
    int red = 0;
    for (int y = icon.top - list.top; y < icon.bottom - list.top; ++y)
        for (int x = icon.left - list.left; x < icon.right - list.left; ++x)
            red += capture.At(x, y) == kRed ? 1 : 0;
    EXPECT_GT(red, 100) << "the registered red icon should fill most of the 16x16 cell";
}

} // namespace
