#include "ServicesTestSupport.h"
#include "contracts/Txtres.h"

namespace {

class TxtresWindowState : public ::testing::Test {
protected:
    void SetUp() override {
        (void)::RegDeleteTreeW(HKEY_CURRENT_USER, m_key.c_str());
        for (int width : {40, 300, 300}) {
            LVCOLUMNW column{LVCF_WIDTH, 0, width};
            ::SendMessageW(m_list, LVM_INSERTCOLUMNW, 99, reinterpret_cast<LPARAM>(&column));
        }
        m_window.ResizeWindow(500, 400);
    }
    void TearDown() override { (void)::RegDeleteTreeW(HKEY_CURRENT_USER, m_key.c_str()); }
    void Init(StrWnd& strWnd, bool remember, const std::wstring& suffix = L"") {
        ASSERT_TRUE(strWnd.mbInitStrWnd(m_window.hwnd(), (m_name + suffix).c_str(), remember, L"", L"", L""));
    }
    DWORD Read(const wchar_t* subkey, const wchar_t* value) const {
        DWORD data = 0, size = sizeof(data);
        (void)::RegGetValueW(HKEY_CURRENT_USER, (m_key + subkey).c_str(), value, RRF_RT_ANY, nullptr, &data, &size);
        return data;
    }
    void Write(const wchar_t* subkey, const wchar_t* value, ULONGLONG data, DWORD type = REG_DWORD, DWORD size = 4) {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, (m_key + subkey).c_str(), value, type, &data, size), 0);
    }
    CSize Size() const { return services_test::ScreenRect(m_window.hwnd()).Size(); }
    std::vector<int> Widths(std::vector<int> set = {}) const {
        std::vector<int> widths;
        for (int column = 0; column < 3; ++column) {
            if (column < int(set.size()))
                ::SendMessageW(m_list, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(set[column], 0));
            widths.push_back(int(::SendMessageW(m_list, LVM_GETCOLUMNWIDTH, column, 0)));
        }
        return widths;
    }

    // A name of this process alone: other test programs share the registry.
    const std::wstring m_name = L"Test " + std::to_wstring(::GetCurrentProcessId());
    const std::wstring m_key = L"Software\\Brightfold\\Applications\\Ledgerix Enterprise\\Window State\\" + m_name;
    services_test::TestWindow m_window{400, 300};
    const HWND m_list = m_window.AddChild(WC_LISTVIEWW, IDC_FILE_LIST, CRect(0, 40, 400, 240), LVS_REPORT);
    StrWnd m_strWnd;
};

TEST_F(TxtresWindowState, SizesAndColumnWidthsAreStoredOnlyWhenAskedAndOddValuesAreIgnored) {
    EXPECT_FALSE(m_strWnd.mbInitStrWnd(nullptr, m_name.c_str(), true, L"", L"", L""));
    m_strWnd.mvFlushWindowSize(true);
    StrWnd nested, forgetful;
    Init(nested, true, L"\\Nested");
    nested.mvFlushWindowSize(true);
    Init(m_strWnd, true);
    for (const wchar_t* set : {L"Bad\\Set", L"", static_cast<const wchar_t*>(nullptr)})
        m_strWnd.mvFlushColumnSizes(IDC_FILE_LIST, true, 3, set);
    m_strWnd.mvFlushColumnSizes(IDC_CLOSE, true, 3, L"FileCols");
    Init(forgetful, false);
    forgetful.mvFlushWindowSize(true);
    forgetful.mvFlushColumnSizes(IDC_FILE_LIST, true, 3, L"FileCols");
    ScopedHKEY key;
    EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, m_key.c_str(), 0, KEY_READ, key.put()), ERROR_SUCCESS);
    Write(L"", L"Width", 610);
    Write(L"\\FileCols", L"Col0", 90);
    forgetful.mvFlushWindowSize(false);
    forgetful.mvFlushColumnSizes(IDC_FILE_LIST, false, 3, L"FileCols");
    EXPECT_EQ(Size(), CSize(500, 400));
    EXPECT_EQ(Widths()[0], 40);
    m_window.ResizeWindow(555, 444);
    m_strWnd.mvFlushWindowSize(true);
    EXPECT_EQ(Read(L"", L"Width") + Read(L"", L"Height") * 1000, 444555u);
    m_window.ResizeWindow(500, 400);
    const CRect before = services_test::ScreenRect(m_window.hwnd());
    StrWnd next;
    Init(next, true);
    next.mvFlushWindowSize(false);
    EXPECT_EQ(services_test::ScreenRect(m_window.hwnd()), CRect(before.TopLeft(), CSize(555, 444))) << "moved";
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // Each width is stored next to a good height: an odd one leaves the width as it is.
    const struct { DWORD type; ULONGLONG data; DWORD size; LONG width; } rows[] = {
        {REG_DWORD, DWORD(work.right - work.left + 500), 4, work.right - work.left}, {REG_NONE, 0, 0, 500},
        {REG_DWORD, 0, 4, 500}, {REG_DWORD, 0x8000, 4, 500}, {REG_BINARY, 600, 4, 500}, {REG_DWORD, 600, 2, 500},
        {REG_QWORD, 600, 8, 500}};
    for (const auto& row : rows) {
        Write(L"", L"Width", row.data, row.type, row.size);
        Write(L"", L"Height", 300);
        m_window.ResizeWindow(500, 400);
        m_strWnd.mvFlushWindowSize(false);
        EXPECT_EQ(Size(), CSize(row.width, 300)) << "type " << row.type << ", " << row.data;
    }
    Widths({41, 42, 43});
    m_strWnd.mvFlushColumnSizes(IDC_FILE_LIST, true, 2, L"Two");
    m_strWnd.mvFlushColumnSizes(IDC_FILE_LIST, true, 9, L"FileCols");
    EXPECT_EQ(Read(L"\\Two", L"Col1") + Read(L"\\FileCols", L"Col2"), 85u);
    EXPECT_EQ(Read(L"\\Two", L"Col2") + Read(L"\\FileCols", L"Col3"), 0u) << "only the first, existing columns";
    Widths({61, 62, 63});
    m_strWnd.mvFlushColumnSizes(IDC_FILE_LIST, false, 3, L"FileCols");
    EXPECT_EQ(Widths(), std::vector<int>({41, 42, 43}));
    Write(L"\\FileCols", L"Col0", 70);
    Write(L"\\FileCols", L"Col1", 0);
    Write(L"\\FileCols", L"Col2", '9', REG_SZ);
    m_strWnd.mvFlushColumnSizes(IDC_FILE_LIST, false, 4, L"FileCols");
    EXPECT_EQ(Widths(), std::vector<int>({70, 42, 43}));
}

}  // namespace
