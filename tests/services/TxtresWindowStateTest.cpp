// Window sizes and column widths remembered in the registry of the test prefix.
#include "ServicesTestSupport.h"
#include <optional>
#include "contracts/Txtres.h"

namespace {

using services_test::TestWindow;

class TxtresWindowState : public ::testing::Test {
protected:
    void SetUp() override {
        (void)::RegDeleteTreeW(HKEY_CURRENT_USER, m_key.c_str());
        m_window.AddList({40, 300, 300});
        m_window.ResizeWindow(500, 400);
    }
    void TearDown() override { (void)::RegDeleteTreeW(HKEY_CURRENT_USER, m_key.c_str()); }
    void Init(bool remember) {
        ASSERT_TRUE(m_strWnd.mbInitStrWnd(m_window.hwnd(), m_name.c_str(), remember, L"", L"", L""));
    }
    std::optional<DWORD> Read(const wchar_t* subkey, const wchar_t* value) const {
        DWORD data = 0, size = sizeof(data);
        if (::RegGetValueW(HKEY_CURRENT_USER, (m_key + subkey).c_str(), value, RRF_RT_REG_DWORD, nullptr, &data,
                           &size) != ERROR_SUCCESS)
            return std::nullopt;
        return data;
    }
    void Write(const wchar_t* subkey, const wchar_t* value, DWORD data, DWORD type = REG_DWORD, DWORD size = 4) {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, (m_key + subkey).c_str(), value, type, &data, size), 0);
    }
    bool Stored(const wchar_t* subkey = L"") const {
        ScopedHKEY key;
        return ::RegOpenKeyExW(HKEY_CURRENT_USER, (m_key + subkey).c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
    }
    int Width(int column) const {
        return static_cast<int>(::SendDlgItemMessageW(m_window.hwnd(), IDC_FILE_LIST, LVM_GETCOLUMNWIDTH, column, 0));
    }
    void SetWidths(std::initializer_list<int> widths) const {
        int column = 0;
        for (int width : widths)
            ::SendDlgItemMessageW(m_window.hwnd(), IDC_FILE_LIST, LVM_SETCOLUMNWIDTH, column++, MAKELPARAM(width, 0));
    }

    // A name of this process alone: other test programs share the registry.
    const std::wstring m_name = L"Test " + std::to_wstring(::GetCurrentProcessId());
    const std::wstring m_key =
        L"Software\\Brightfold\\Applications\\Ledgerix Enterprise\\Window State\\" + m_name;
    TestWindow m_window{400, 300};
    StrWnd m_strWnd;
};

TEST_F(TxtresWindowState, TheSizeIsStoredAsDwordsAndRestoredWithinTheWorkAreaInTheNextSession) {
    Init(true);
    m_strWnd.mvFlushWindowSize(false);
    EXPECT_EQ(m_window.WindowSize(), CSize(500, 400)) << "nothing stored yet";
    m_window.ResizeWindow(555, 444);
    m_strWnd.mvFlushWindowSize(true);
    EXPECT_EQ(Read(L"", L"Width"), 555u);
    EXPECT_EQ(Read(L"", L"Height"), 444u);
    TestWindow next(400, 300);
    CRect before;
    ::GetWindowRect(next.hwnd(), &before);
    StrWnd nextStrWnd;
    ASSERT_TRUE(nextStrWnd.mbInitStrWnd(next.hwnd(), m_name.c_str(), true, L"", L"", L""));
    nextStrWnd.mvFlushWindowSize(false);
    CRect after;
    ::GetWindowRect(next.hwnd(), &after);
    EXPECT_EQ(after, CRect(before.TopLeft(), CSize(555, 444))) << "the position stays";

    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    Write(L"", L"Width", static_cast<DWORD>(work.right - work.left + 500));
    Write(L"", L"Height", 300);
    m_strWnd.mvFlushWindowSize(false);
    EXPECT_EQ(m_window.WindowSize(), CSize(work.right - work.left, 300));
}

// Each odd width is stored next to a good height: the width stays, the height is used.
TEST_F(TxtresWindowState, MissingOrOddStoredWidthsAreIgnored) {
    Init(true);
    Write(L"", L"Height", 333);
    m_strWnd.mvFlushWindowSize(false);
    EXPECT_EQ(m_window.WindowSize(), CSize(500, 333)) << "a lone good value is still used";
    const struct { DWORD type; DWORD data; DWORD size; } odd[] = {
        {REG_DWORD, 0, 4}, {REG_DWORD, DWORD(-100), 4}, {REG_DWORD, 0x7FFFFFFF, 4}, {REG_DWORD, 0x8000, 4},
        {REG_SZ, '6', 4}, {REG_BINARY, 600, 4}, {REG_QWORD, 600, 8}, {REG_DWORD, 600, 2}, {REG_DWORD, 600, 8}};
    for (const auto& o : odd) {
        const BYTE data[8] = {BYTE(o.data), BYTE(o.data >> 8), BYTE(o.data >> 16), BYTE(o.data >> 24)};
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, m_key.c_str(), L"Width", o.type, data, o.size), 0);
        Write(L"", L"Height", 350);
        m_strWnd.mvFlushWindowSize(false);
        EXPECT_EQ(m_window.WindowSize(), CSize(500, 350)) << "type " << o.type << ", " << o.data;
        m_window.ResizeWindow(500, 400);
    }
}

TEST_F(TxtresWindowState, ColumnWidthsAreStoredPerColumnSetAndOddOnesAreNotRestored) {
    Init(true);
    SetWidths({41, 42, 43});
    m_strWnd.mvFlushColumnSizes(IDC_FILE_LIST, true, 2, L"Two");
    m_strWnd.mvFlushColumnSizes(IDC_FILE_LIST, true, 9, L"FileCols");
    SetWidths({61, 62, 63});
    m_strWnd.mvFlushColumnSizes(IDC_FILE_LIST, true, 3, L"FileColsShared");
    EXPECT_EQ(Read(L"\\Two", L"Col1"), 42u);
    EXPECT_EQ(Read(L"\\Two", L"Col2"), std::nullopt) << "only the first count columns";
    EXPECT_EQ(Read(L"\\FileCols", L"Col2"), 43u);
    EXPECT_EQ(Read(L"\\FileCols", L"Col3"), std::nullopt) << "only existing columns";
    EXPECT_EQ(Read(L"\\FileColsShared", L"Col0"), 61u);
    m_strWnd.mvFlushColumnSizes(IDC_FILE_LIST, false, 3, L"FileCols");
    EXPECT_EQ(std::vector<int>({Width(0), Width(1), Width(2)}), std::vector<int>({41, 42, 43}));

    SetWidths({40, 300, 300});
    Write(L"\\FileCols", L"Col0", 70);
    Write(L"\\FileCols", L"Col1", 0);
    Write(L"\\FileCols", L"Col2", '9', REG_SZ);
    Write(L"\\FileCols", L"Col3", 80);  // beyond the list's columns
    m_strWnd.mvFlushColumnSizes(IDC_FILE_LIST, false, 4, L"FileCols");
    EXPECT_EQ(std::vector<int>({Width(0), Width(1), Width(2)}), std::vector<int>({70, 300, 300}));
    Write(L"\\FileCols", L"Col1", 0xFFFFFFFF);
    m_strWnd.mvFlushColumnSizes(IDC_FILE_LIST, false, 3, L"FileCols");
    EXPECT_EQ(Width(1), 300);
}

TEST_F(TxtresWindowState, NothingIsStoredWithoutRememberAWindowAListOrANameForOneKey) {
    EXPECT_FALSE(m_strWnd.mbInitStrWnd(nullptr, m_name.c_str(), true, L"", L"", L""));
    m_strWnd.mvFlushWindowSize(true);
    StrWnd nested;
    ASSERT_TRUE(nested.mbInitStrWnd(m_window.hwnd(), (m_name + L"\\Nested").c_str(), true, L"", L"", L""));
    nested.mvFlushWindowSize(true);
    EXPECT_FALSE(Stored());
    Init(true);
    for (const wchar_t* set : {L"Bad\\Set", L"", static_cast<const wchar_t*>(nullptr)})
        m_strWnd.mvFlushColumnSizes(IDC_FILE_LIST, true, 3, set);
    m_strWnd.mvFlushColumnSizes(9999, true, 3, L"FileCols");
    EXPECT_FALSE(Stored());

    StrWnd forgetful;
    ASSERT_TRUE(forgetful.mbInitStrWnd(m_window.hwnd(), m_name.c_str(), false, L"", L"", L""));
    forgetful.mvFlushWindowSize(true);
    forgetful.mvFlushColumnSizes(IDC_FILE_LIST, true, 3, L"FileCols");
    EXPECT_FALSE(Stored());
    Write(L"", L"Width", 610);
    Write(L"", L"Height", 455);
    Write(L"\\FileCols", L"Col0", 90);
    forgetful.mvFlushWindowSize(false);
    forgetful.mvFlushColumnSizes(IDC_FILE_LIST, false, 3, L"FileCols");
    EXPECT_EQ(m_window.WindowSize(), CSize(500, 400));
    EXPECT_EQ(Width(0), 40);
}

}  // namespace
