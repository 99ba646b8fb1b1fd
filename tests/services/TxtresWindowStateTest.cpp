#include "ServicesTestSupport.h"
#include "contracts/Txtres.h"
#include "contracts/ZebSettings.h"

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
    EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, m_key.c_str(), 0, KEY_READ, ScopedHKEY().put()), ERROR_SUCCESS);
    Write(L"", L"Width", 610);
    Write(L"\\FileCols", L"Col0", 90);
    forgetful.mvFlushWindowSize(false);
    forgetful.mvFlushColumnSizes(IDC_FILE_LIST, false, 3, L"FileCols");
    EXPECT_EQ(std::pair(Size(), Widths()[0]), std::pair(CSize(500, 400), 40));
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

TEST(TxtresLayout, ControlsKeepTheirDistancesToTheSidesTheyAreAnchoredToFromWhereTheyWereRegistered) {
    services_test::TestWindow window(400, 300);
    StrWnd strWnd;
    ASSERT_TRUE(strWnd.mbInitStrWnd(window.hwnd(), L"LayoutTest", false, L"", L"", L""));
    window.AddChild(L"STATIC", IDC_TOOLBAR_MARKER, CRect(320, 10, 390, 30));
    strWnd.mvFixCtrl(IDC_TOOLBAR_MARKER, StrWndAnchor::TopRight);
    ::DestroyWindow(::GetDlgItem(window.hwnd(), IDC_TOOLBAR_MARKER));  // a control that went is skipped
    // Every combination of the four anchor bits, on controls at (100, 100, 150, 130).
    for (int anchors = 0; anchors < 16; ++anchors) {
        window.AddChild(L"STATIC", 100 + anchors, CRect(100, 100, 150, 130));
        strWnd.mvFixCtrl(100 + anchors, anchors);
    }
    window.AddChild(L"BUTTON", IDC_CLOSE, CRect(300, 260, 380, 284));
    strWnd.mvFixCtrl(IDC_CLOSE, StrWndAnchor::TopLeft);
    window.AddChild(L"STATIC", IDC_FILE_LIST, CRect(0, 40, 400, 240));
    strWnd.mvFixCtrl(IDC_FILE_LIST, StrWndAnchor::Stretch);
    EXPECT_TRUE(strWnd.moGetCtrlPos(IDC_CREATED_BY_LABEL).IsRectNull()) << "never registered";
    const auto resize = [&](int width, int height, const CRect& close, const CRect& list) {
        window.ResizeClient(width, height);
        strWnd.mvUpdateFixedCtrls();
        const CRect reported = strWnd.moGetCtrlPos(IDC_FILE_LIST);
        EXPECT_EQ(std::tuple(window.ChildRect(IDC_CLOSE), window.ChildRect(IDC_FILE_LIST), reported),
                  std::tuple(close, list, list)) << width << " x " << height;
    };
    resize(460, 340, {300, 260, 380, 284}, {0, 40, 460, 280});
    const CRect expected[16] = {
        {100, 100, 150, 130}, {100, 100, 150, 130}, {100, 100, 150, 130}, {100, 100, 150, 130},  // none, left, top
        {160, 100, 210, 130}, {100, 100, 210, 130}, {160, 100, 210, 130}, {100, 100, 210, 130},  // with right
        {100, 140, 150, 170}, {100, 140, 150, 170}, {100, 100, 150, 170}, {100, 100, 150, 170},  // with bottom
        {160, 140, 210, 170}, {100, 140, 210, 170}, {160, 100, 210, 170}, {100, 100, 210, 170}};
    for (int anchors = 0; anchors < 16; ++anchors)
        EXPECT_EQ(window.ChildRect(100 + anchors), expected[anchors]) << "anchors " << anchors;

    strWnd.mvFixCtrl(IDC_CLOSE, StrWndAnchor::BottomRight);  // new anchors, distances of the size now
    resize(400, 300, {240, 220, 320, 244}, {0, 40, 400, 240});
    resize(611, 487, {451, 407, 531, 431}, {0, 40, 611, 427});
    resize(460, 340, {300, 260, 380, 284}, {0, 40, 460, 280});  // round trips do not drift
    resize(460, 50, {300, -30, 380, -6}, {0, 40, 460, 40});  // the list shrinks to nothing, not below
    ::ShowWindow(window.hwnd(), SW_SHOWMINNOACTIVE);
    strWnd.mvUpdateFixedCtrls();
    EXPECT_EQ(window.ChildRect(IDC_CLOSE), CRect(300, -30, 380, -6)) << "nothing moves while minimised";
    ::ShowWindow(window.hwnd(), SW_RESTORE);
    strWnd.mvDeInitialize();
    window.ResizeClient(500, 350);
    strWnd.mvUpdateFixedCtrls();
    EXPECT_EQ(window.ChildRect(IDC_CLOSE), CRect(300, -30, 380, -6)) << "forgotten";
    EXPECT_TRUE(strWnd.moGetCtrlPos(IDC_CLOSE).IsRectNull());
}

struct DpiProbe : CDPIHelper {
    std::vector<int> values() const { return {m_values, m_values + 9}; }
};

TEST(DpiHelper, SizesAreThoseOf96Dpi) {
    ASSERT_EQ(::GetDeviceCaps(ScopedWindowDC(nullptr).get(), LOGPIXELSY), 96) << "the expectations are of 96 DPI";
    CDPIHelper* helper = CDPIHelper::get();
    EXPECT_EQ(DpiProbe().values(), (std::vector<int>{96, 96, 96, 16, 32, 100, 0, 24, 24}));
    EXPECT_EQ(helper->getDesiredBitmapImageSz(static_cast<e_kivImageUseType>(0)), 16) << "other uses are small";
    EXPECT_EQ(helper->getDesiredBitmapImageSize(kivImageUseLarge, CSize(48, 24)), CSize(32, 32));
    EXPECT_EQ(helper->scaleY(14), 14);
}

}  // namespace
