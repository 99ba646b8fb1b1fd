// Window sizes and column widths remembered in the registry of the test prefix.
#include "ServicesTestSupport.h"

#include <optional>
#include <vector>

#include "contracts/Txtres.h"

namespace {

using services_test::CurrentTestName;
using services_test::TestWindow;

constexpr wchar_t kRoot[] = L"Software\\Brightfold\\Applications\\Ledgerix Enterprise\\Window State";
constexpr unsigned kList = 4004;

class TxtresWindowState : public ::testing::Test {
protected:
    void SetUp() override {
        // A name of this test and process alone: other test programs share the registry.
        m_name = L"Test " + std::to_wstring(::GetCurrentProcessId()) + L" " + CurrentTestName();
        m_key = std::wstring(kRoot) + L"\\" + m_name;
        ::RegDeleteTreeW(HKEY_CURRENT_USER, m_key.c_str());
        ASSERT_TRUE(m_window.hwnd());
        m_window.AddReportList(kList, CRect(0, 40, 400, 240), {40, 300, 300});
        m_window.ResizeWindow(500, 400);
        ASSERT_EQ(m_window.WindowSize(), CSize(500, 400));
    }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, m_key.c_str()); }

    void Init(bool remember) {
        ASSERT_TRUE(m_strWnd.mbInitStrWnd(m_window.hwnd(), m_name.c_str(), remember, L"", L"", L""));
    }

    std::optional<DWORD> ReadDword(const std::wstring& subkey, const wchar_t* value) const {
        DWORD data = 0, size = sizeof(data);
        const std::wstring path = subkey.empty() ? m_key : m_key + L"\\" + subkey;
        if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), value, RRF_RT_REG_DWORD, nullptr, &data, &size) !=
            ERROR_SUCCESS)
            return std::nullopt;
        return data;
    }
    void WriteValue(const std::wstring& subkey, const wchar_t* value, DWORD type, const void* data, DWORD size) {
        const std::wstring path = subkey.empty() ? m_key : m_key + L"\\" + subkey;
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), value, type, data, size), ERROR_SUCCESS);
    }
    void WriteDword(const std::wstring& subkey, const wchar_t* value, DWORD data) {
        WriteValue(subkey, value, REG_DWORD, &data, sizeof(data));
    }
    bool KeyExists(const std::wstring& path) const {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        ::RegCloseKey(key);
        return true;
    }

    HWND List() const { return ::GetDlgItem(m_window.hwnd(), kList); }
    int ColumnWidth(int column) const {
        return static_cast<int>(::SendMessageW(List(), LVM_GETCOLUMNWIDTH, column, 0));
    }
    void SetColumnWidths(std::initializer_list<int> widths) const {
        int column = 0;
        for (int width : widths) ::SendMessageW(List(), LVM_SETCOLUMNWIDTH, column++, MAKELPARAM(width, 0));
    }

    static CSize WorkAreaSize() {
        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        return CRect(work).Size();
    }

    std::wstring m_name;
    std::wstring m_key;
    TestWindow m_window{400, 300};
    StrWnd m_strWnd;
};

TEST_F(TxtresWindowState, StoringWritesWidthAndHeightAsDwords) {
    Init(true);
    m_window.ResizeWindow(520, 410);
    m_strWnd.mvFlushWindowSize(true);
    EXPECT_EQ(ReadDword(L"", L"Width"), 520u);
    EXPECT_EQ(ReadDword(L"", L"Height"), 410u);
}

TEST_F(TxtresWindowState, RestoringSetsTheStoredSizeAndKeepsThePosition) {
    Init(true);
    WriteDword(L"", L"Width", 610);
    WriteDword(L"", L"Height", 455);
    CRect before;
    ::GetWindowRect(m_window.hwnd(), &before);
    m_strWnd.mvFlushWindowSize(false);
    CRect after;
    ::GetWindowRect(m_window.hwnd(), &after);
    EXPECT_EQ(after.Size(), CSize(610, 455));
    EXPECT_EQ(after.TopLeft(), before.TopLeft());
}

TEST_F(TxtresWindowState, AStoredSizeComesBackInTheNextSession) {
    Init(true);
    m_window.ResizeWindow(555, 444);
    m_strWnd.mvFlushWindowSize(true);

    TestWindow next(400, 300);
    StrWnd nextStrWnd;
    ASSERT_TRUE(nextStrWnd.mbInitStrWnd(next.hwnd(), m_name.c_str(), true, L"", L"", L""));
    nextStrWnd.mvFlushWindowSize(false);
    EXPECT_EQ(next.WindowSize(), CSize(555, 444));
}

TEST_F(TxtresWindowState, ARestoredSizeIsClampedToTheWorkArea) {
    Init(true);
    const CSize work = WorkAreaSize();
    WriteDword(L"", L"Width", static_cast<DWORD>(work.cx + 500));
    WriteDword(L"", L"Height", 300);
    m_strWnd.mvFlushWindowSize(false);
    EXPECT_EQ(m_window.WindowSize(), CSize(work.cx, 300));
}

TEST_F(TxtresWindowState, MissingValuesChangeNothing) {
    Init(true);
    m_strWnd.mvFlushWindowSize(false);
    EXPECT_EQ(m_window.WindowSize(), CSize(500, 400));
    WriteDword(L"", L"Height", 333);
    m_strWnd.mvFlushWindowSize(false);
    EXPECT_EQ(m_window.WindowSize(), CSize(500, 333)) << "a lone good value is still used";
}

// Odd width values, each stored next to a good height: the width stays, the height is used.
struct OddValue {
    const char* what;
    DWORD type;
    std::vector<BYTE> data;
};

class TxtresOddWindowSizes : public TxtresWindowState, public ::testing::WithParamInterface<OddValue> {};

TEST_P(TxtresOddWindowSizes, AreIgnored) {
    Init(true);
    const OddValue& odd = GetParam();
    WriteValue(L"", L"Width", odd.type, odd.data.data(), static_cast<DWORD>(odd.data.size()));
    WriteDword(L"", L"Height", 350);
    m_strWnd.mvFlushWindowSize(false);
    EXPECT_EQ(m_window.WindowSize(), CSize(500, 350)) << odd.what;
}

std::vector<BYTE> Bytes(std::initializer_list<BYTE> bytes) { return bytes; }

INSTANTIATE_TEST_SUITE_P(Registry, TxtresOddWindowSizes,
    ::testing::Values(
        OddValue{"zero", REG_DWORD, Bytes({0, 0, 0, 0})},
        OddValue{"negative", REG_DWORD, Bytes({0x9C, 0xFF, 0xFF, 0xFF})},
        OddValue{"absurdly large", REG_DWORD, Bytes({0xFF, 0xFF, 0xFF, 0x7F})},
        OddValue{"just above the largest extent", REG_DWORD, Bytes({0x00, 0x80, 0x00, 0x00})},
        OddValue{"a string", REG_SZ, Bytes({'6', 0, '0', 0, '0', 0, 0, 0})},
        OddValue{"a binary of four bytes", REG_BINARY, Bytes({0x58, 0x02, 0, 0})},
        OddValue{"a qword", REG_QWORD, Bytes({0x58, 0x02, 0, 0, 0, 0, 0, 0})},
        OddValue{"a dword of two bytes", REG_DWORD, Bytes({0x58, 0x02})},
        OddValue{"a dword of eight bytes", REG_DWORD, Bytes({0x58, 0x02, 0, 0, 0, 0, 0, 0})}),
    [](const ::testing::TestParamInfo<OddValue>& info) {
        std::string name;
        for (const char* p = info.param.what; *p; ++p)
            if (isalnum(static_cast<unsigned char>(*p))) name += *p;
        return name;
    });

TEST_F(TxtresWindowState, WithoutRememberNothingIsStoredOrRestored) {
    Init(false);
    m_strWnd.mvFlushWindowSize(true);
    SetColumnWidths({55, 66, 77});
    m_strWnd.mvFlushColumnSizes(kList, true, 3, L"FileCols");
    EXPECT_FALSE(KeyExists(m_key));

    WriteDword(L"", L"Width", 610);
    WriteDword(L"", L"Height", 455);
    WriteDword(L"FileCols", L"Col0", 90);
    m_strWnd.mvFlushWindowSize(false);
    m_strWnd.mvFlushColumnSizes(kList, false, 3, L"FileCols");
    EXPECT_EQ(m_window.WindowSize(), CSize(500, 400));
    EXPECT_EQ(ColumnWidth(0), 55);
}

TEST_F(TxtresWindowState, ColumnWidthsAreStoredUnderTheColumnSet) {
    Init(true);
    SetColumnWidths({55, 120, 210});
    m_strWnd.mvFlushColumnSizes(kList, true, 3, L"FileCols");
    EXPECT_EQ(ReadDword(L"FileCols", L"Col0"), 55u);
    EXPECT_EQ(ReadDword(L"FileCols", L"Col1"), 120u);
    EXPECT_EQ(ReadDword(L"FileCols", L"Col2"), 210u);
    EXPECT_EQ(ReadDword(L"FileCols", L"Col3"), std::nullopt);
}

TEST_F(TxtresWindowState, OnlyTheFirstCountColumnsAndOnlyExistingOnesAreStored) {
    Init(true);
    SetColumnWidths({51, 52, 53});
    m_strWnd.mvFlushColumnSizes(kList, true, 2, L"Two");
    EXPECT_EQ(ReadDword(L"Two", L"Col1"), 52u);
    EXPECT_EQ(ReadDword(L"Two", L"Col2"), std::nullopt);
    m_strWnd.mvFlushColumnSizes(kList, true, 9, L"Nine");
    EXPECT_EQ(ReadDword(L"Nine", L"Col2"), 53u);
    EXPECT_EQ(ReadDword(L"Nine", L"Col3"), std::nullopt);
}

TEST_F(TxtresWindowState, ColumnSetsDoNotOverwriteEachOther) {
    Init(true);
    SetColumnWidths({41, 42, 43});
    m_strWnd.mvFlushColumnSizes(kList, true, 3, L"FileCols");
    SetColumnWidths({61, 62, 63});
    m_strWnd.mvFlushColumnSizes(kList, true, 3, L"FileColsShared");
    EXPECT_EQ(ReadDword(L"FileCols", L"Col0"), 41u);
    EXPECT_EQ(ReadDword(L"FileColsShared", L"Col0"), 61u);

    m_strWnd.mvFlushColumnSizes(kList, false, 3, L"FileCols");
    EXPECT_EQ(ColumnWidth(0), 41);
    EXPECT_EQ(ColumnWidth(2), 43);
}

TEST_F(TxtresWindowState, RestoringColumnsIgnoresMissingAndOddValues) {
    Init(true);
    WriteDword(L"FileCols", L"Col0", 70);
    WriteDword(L"FileCols", L"Col1", 0);
    WriteValue(L"FileCols", L"Col2", REG_SZ, L"90", 6);
    WriteDword(L"FileCols", L"Col3", 80);  // beyond the list's columns
    m_strWnd.mvFlushColumnSizes(kList, false, 4, L"FileCols");
    EXPECT_EQ(ColumnWidth(0), 70);
    EXPECT_EQ(ColumnWidth(1), 300);
    EXPECT_EQ(ColumnWidth(2), 300);

    WriteDword(L"FileCols", L"Col1", 0xFFFFFFFF);
    m_strWnd.mvFlushColumnSizes(kList, false, 3, L"FileCols");
    EXPECT_EQ(ColumnWidth(1), 300);
}

TEST_F(TxtresWindowState, NamesThatCannotBeOneKeyStoreNothing) {
    StrWnd strWnd;
    ASSERT_TRUE(strWnd.mbInitStrWnd(m_window.hwnd(), (m_name + L"\\Nested").c_str(), true, L"", L"", L""));
    strWnd.mvFlushWindowSize(true);
    EXPECT_FALSE(KeyExists(m_key));

    Init(true);
    m_strWnd.mvFlushColumnSizes(kList, true, 3, L"Bad\\Set");
    m_strWnd.mvFlushColumnSizes(kList, true, 3, L"");
    m_strWnd.mvFlushColumnSizes(kList, true, 3, nullptr);
    EXPECT_FALSE(KeyExists(m_key));
}

TEST_F(TxtresWindowState, AMissingListStoresNothing) {
    Init(true);
    m_strWnd.mvFlushColumnSizes(9999, true, 3, L"FileCols");
    EXPECT_FALSE(KeyExists(m_key + L"\\FileCols"));
}

TEST_F(TxtresWindowState, InitialisationFailsWithoutAWindow) {
    EXPECT_FALSE(m_strWnd.mbInitStrWnd(nullptr, m_name.c_str(), true, L"", L"", L""));
    m_strWnd.mvFlushWindowSize(true);
    EXPECT_FALSE(KeyExists(m_key));
}

}  // namespace
