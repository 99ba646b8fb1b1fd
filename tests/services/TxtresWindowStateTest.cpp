// Window sizes and column widths remembered in the registry of the test prefix.
#include "ServicesTestSupport.h"
#include "contracts/Txtres.h"

namespace {

class TxtresWindowState : public ::testing::Test {
protected:
    void SetUp() override {
        (void)::RegDeleteTreeW(HKEY_CURRENT_USER, m_key.c_str());
        HWND list = m_window.AddChild(WC_LISTVIEWW, IDC_FILE_LIST, CRect(0, 40, 400, 240), LVS_REPORT);
        for (int width : {40, 300, 300}) {
            LVCOLUMNW column{LVCF_WIDTH, 0, width};
            ::SendMessageW(list, LVM_INSERTCOLUMNW, 99, reinterpret_cast<LPARAM>(&column));
        }
        m_window.ResizeWindow(500, 400);
    }
    void TearDown() override { (void)::RegDeleteTreeW(HKEY_CURRENT_USER, m_key.c_str()); }
    void Init(StrWnd& strWnd, bool remember, HWND wnd = nullptr) {
        ASSERT_TRUE(strWnd.mbInitStrWnd(wnd ? wnd : m_window.hwnd(), m_name.c_str(), remember, L"", L"", L""));
    }
    DWORD Read(const wchar_t* subkey, const wchar_t* value) const {
        DWORD data = 0, size = sizeof(data);
        (void)::RegGetValueW(HKEY_CURRENT_USER, (m_key + subkey).c_str(), value, RRF_RT_ANY, nullptr, &data, &size);
        return data;
    }
    void Write(const wchar_t* subkey, const wchar_t* value, ULONGLONG data, DWORD type = REG_DWORD, DWORD size = 4) {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, (m_key + subkey).c_str(), value, type, &data, size), 0);
    }
    bool Stored() const {
        ScopedHKEY key;
        return ::RegOpenKeyExW(HKEY_CURRENT_USER, m_key.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
    }
    CSize Size() const { return services_test::ScreenRect(m_window.hwnd()).Size(); }
    std::vector<int> Widths() const {
        std::vector<int> widths;
        for (int column = 0; column < 3; ++column)
            widths.push_back(int(::SendDlgItemMessageW(m_window.hwnd(), IDC_FILE_LIST, LVM_GETCOLUMNWIDTH, column, 0)));
        return widths;
    }
    void SetWidths(std::initializer_list<int> widths) const {
        int column = 0;
        for (int width : widths)
            ::SendDlgItemMessageW(m_window.hwnd(), IDC_FILE_LIST, LVM_SETCOLUMNWIDTH, column++, MAKELPARAM(width, 0));
    }

    // A name of this process alone: other test programs share the registry.
    const std::wstring m_name = L"Test " + std::to_wstring(::GetCurrentProcessId());
    const std::wstring m_key = L"Software\\Brightfold\\Applications\\Ledgerix Enterprise\\Window State\\" + m_name;
    services_test::TestWindow m_window{400, 300};
    StrWnd m_strWnd;
};

TEST_F(TxtresWindowState, TheSizeIsStoredAsDwordsAndRestoredWithinTheWorkAreaButOddValuesAreIgnored) {
    Init(m_strWnd, true);
    m_strWnd.mvFlushWindowSize(false);
    EXPECT_EQ(Size(), CSize(500, 400)) << "nothing stored yet";
    m_window.ResizeWindow(555, 444);
    m_strWnd.mvFlushWindowSize(true);
    EXPECT_EQ(Read(L"", L"Width") + Read(L"", L"Height") * 1000, 444555u);
    services_test::TestWindow next(400, 300);
    const CRect before = services_test::ScreenRect(next.hwnd());
    StrWnd nextStrWnd;
    Init(nextStrWnd, true, next.hwnd());
    nextStrWnd.mvFlushWindowSize(false);
    EXPECT_EQ(services_test::ScreenRect(next.hwnd()), CRect(before.TopLeft(), CSize(555, 444))) << "the place stays";

    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    Write(L"", L"Width", static_cast<DWORD>(work.right - work.left + 500));
    Write(L"", L"Height", 300);
    m_strWnd.mvFlushWindowSize(false);
    EXPECT_EQ(Size(), CSize(work.right - work.left, 300));
    // Each odd width is stored next to a good height: the width stays, the height is used.
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, m_key.c_str(), L"Width");
    const struct { DWORD type; DWORD data; DWORD size; } odd[] = {
        {REG_DWORD, 0, 4}, {REG_DWORD, 0x8000, 4}, {REG_BINARY, 600, 4}, {REG_DWORD, 600, 2}, {REG_QWORD, 600, 8}};
    for (int i = -1; i < 5; ++i) {
        if (i >= 0)
            Write(L"", L"Width", odd[i].data, odd[i].type, odd[i].size);
        Write(L"", L"Height", 351 + i);
        m_window.ResizeWindow(500, 400);
        m_strWnd.mvFlushWindowSize(false);
        EXPECT_EQ(Size(), CSize(500, 351 + i)) << "odd width " << i;
    }
}

TEST_F(TxtresWindowState, ColumnWidthsAreStoredPerColumnSetAndOddOnesAreNotRestored) {
    Init(m_strWnd, true);
    SetWidths({41, 42, 43});
    m_strWnd.mvFlushColumnSizes(IDC_FILE_LIST, true, 2, L"Two");
    m_strWnd.mvFlushColumnSizes(IDC_FILE_LIST, true, 9, L"FileCols");
    EXPECT_EQ(Read(L"\\Two", L"Col1") + Read(L"\\FileCols", L"Col2"), 85u);
    EXPECT_EQ(Read(L"\\Two", L"Col2") + Read(L"\\FileCols", L"Col3"), 0u) << "only the first, existing columns";
    SetWidths({61, 62, 63});
    m_strWnd.mvFlushColumnSizes(IDC_FILE_LIST, false, 3, L"FileCols");
    EXPECT_EQ(Widths(), std::vector<int>({41, 42, 43}));

    SetWidths({40, 300, 300});
    Write(L"\\FileCols", L"Col0", 70);
    Write(L"\\FileCols", L"Col1", 0);
    Write(L"\\FileCols", L"Col2", '9', REG_SZ);
    m_strWnd.mvFlushColumnSizes(IDC_FILE_LIST, false, 4, L"FileCols");
    EXPECT_EQ(Widths(), std::vector<int>({70, 300, 300}));
}

TEST_F(TxtresWindowState, NothingIsStoredWithoutRememberAWindowAListOrANameForOneKey) {
    EXPECT_FALSE(m_strWnd.mbInitStrWnd(nullptr, m_name.c_str(), true, L"", L"", L""));
    m_strWnd.mvFlushWindowSize(true);
    StrWnd nested;
    ASSERT_TRUE(nested.mbInitStrWnd(m_window.hwnd(), (m_name + L"\\Nested").c_str(), true, L"", L"", L""));
    nested.mvFlushWindowSize(true);
    EXPECT_FALSE(Stored());
    Init(m_strWnd, true);
    for (const wchar_t* set : {L"Bad\\Set", L"", static_cast<const wchar_t*>(nullptr)})
        m_strWnd.mvFlushColumnSizes(IDC_FILE_LIST, true, 3, set);
    m_strWnd.mvFlushColumnSizes(IDC_CLOSE, true, 3, L"FileCols");
    EXPECT_FALSE(Stored());

    StrWnd forgetful;
    Init(forgetful, false);
    forgetful.mvFlushWindowSize(true);
    forgetful.mvFlushColumnSizes(IDC_FILE_LIST, true, 3, L"FileCols");
    EXPECT_FALSE(Stored());
    Write(L"", L"Width", 610);
    Write(L"\\FileCols", L"Col0", 90);
    forgetful.mvFlushWindowSize(false);
    forgetful.mvFlushColumnSizes(IDC_FILE_LIST, false, 3, L"FileCols");
    EXPECT_EQ(Size(), CSize(500, 400));
    EXPECT_EQ(Widths()[0], 40);
}

}  // namespace
