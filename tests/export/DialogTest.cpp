// The "CSV Options" toolbar of the real dialog: its buttons export the rows as sorted; tips follow the buttons.
#include <gtest/gtest.h>
#include <commctrl.h>
#include "BranchDialog.h"
#include "ExportHarness.h"

using namespace lineage_test;

namespace {

HWND g_dialog = nullptr;
HANDLE g_fileDialogShown = nullptr;
struct ToolCall {
    UINT msg; UINT_PTR id; RECT rect;
    bool operator==(const ToolCall& o) const { return msg == o.msg && id == o.id && ::EqualRect(&rect, &o.rect); }
};
std::vector<ToolCall> g_toolCalls;  // filled on the dialog's thread, read after a Sync

// On the dialog's thread: notes the tips' registrations, and notes and cancels the save dialog.
LRESULT CALLBACK Watch(int code, WPARAM wp, LPARAM lp) noexcept {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (code == HC_ACTION && (call->message == TTM_ADDTOOLW || call->message == TTM_DELTOOLW)) {
        const auto* info = reinterpret_cast<const TTTOOLINFOW*>(call->lParam);
        g_toolCalls.push_back({call->message, info->uId, call->message == TTM_ADDTOOLW ? info->rect : RECT{}});
    }
    if (code == HC_ACTION && call->message == WM_INITDIALOG && ::GetWindow(call->hwnd, GW_OWNER) == g_dialog) {
        ::SetEvent(g_fileDialogShown);
        ::PostMessageW(call->hwnd, WM_COMMAND, IDCANCEL, 0);
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

// The dialog's tips, by id: 1 "Open as CSV", 2 "Save as CSV".
std::vector<RECT> ToolRects(const DialogSession& session) {
    std::vector<RECT> rects(2);
    for (HWND tips = nullptr; (tips = ::FindWindowExW(nullptr, tips, TOOLTIPS_CLASSW, nullptr));)
        for (UINT_PTR id : {1, 2}) {
            TTTOOLINFOW info{TTTOOLINFOW_V2_SIZE, 0, session.Dialog(), id};
            if (::GetWindowThreadProcessId(tips, nullptr) == session.ThreadId() &&
                ::SendMessageW(tips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)))
                rects[id - 1] = info.rect;
        }
    return rects;
}

TEST(Toolbar, ButtonsExportTheSortedListAndTipsAreRegisteredAgainOnlyWhenTheButtonsMove) {
    RecordingOpener shell;
    SeparatorSettings settings{L";", L"Excel.CSV"};
    ExcelStandIn excel;
    const std::wstring longName = std::wstring(300, L'o') + L".txt";  // past the first buffer the list is read with
    BranchDialog dialog({7, L"Release", L"anna", 32104.6152314815,
                         {BranchFile(1, 101, longName.c_str(), L"b\\", L"B\\"),
                          BranchFile(2, 102, L"two.txt", L"c\\", L"B\\", true),
                          BranchFile(3, 103, L"x.txt", L"a\\", L"B\\")}});
    DialogSession& session = *dialog;
    ScopedKernelHandle fileDialogShown{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    g_fileDialogShown = fileDialogShown.get();
    ASSERT_TRUE(g_dialog = session.Dialog());
    auto centre = [](const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; };
    // Sort by "Source File", descending: a click, then a second one.
    HWND header = reinterpret_cast<HWND>(::SendMessageW(dialog.List(), LVM_GETHEADER, 0, 0));
    RECT item{};
    ::SendMessageW(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    for (int click = 0; click < 2; ++click) {
        ::PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre(item).x, centre(item).y));
        ::PostMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(centre(item).x, centre(item).y));
    }
    ASSERT_TRUE(session.WaitForPaint(g_dialog));
    session.Sync();  // the tips' refresh that the paint posted
    std::vector<RECT> tools = ToolRects(session);
    const RECT marker = ChildRect(session.Item(IDC_TOOLBAR_MARKER));
    EXPECT_EQ(tools[0].top, marker.top - 5 + 2) << "the strip starts 5 pixels above the marker";
    EXPECT_EQ(tools[0].left, marker.left + 2);
    EXPECT_EQ(tools[1].left, tools[0].right + 3);

    g_toolCalls.clear();
    const HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, Watch, nullptr, session.ThreadId());
    // Press over one button, release over another (or the same): only the first runs its command.
    struct Click { int pressOn, releaseOn; bool spreadsheet, saveDialog; };
    for (const Click& c : {Click{1, 0, false, false}, Click{0, 1, false, false}, Click{0, 0, true, false},
                           Click{1, 1, false, true}}) {
        SCOPED_TRACE(testing::Message() << c.pressOn << " to " << c.releaseOn);
        const size_t calls = excel.Calls().size();
        const POINT press = centre(tools[c.pressOn]), release = centre(tools[c.releaseOn]);
        for (auto [msg, at] : {std::pair{WM_MOUSEMOVE, press}, {WM_LBUTTONDOWN, press}, {WM_MOUSEMOVE, release},
                               {WM_LBUTTONUP, release}})
            ::PostMessageW(g_dialog, msg, 0, MAKELPARAM(at.x, at.y));
        session.Sync();
        EXPECT_EQ(::WaitForSingleObject(g_fileDialogShown, c.saveDialog ? 10000 : 0) == WAIT_OBJECT_0, c.saveDialog);
        session.Sync();
        EXPECT_EQ(excel.Calls().size() > calls, c.spreadsheet);
    }
    EXPECT_EQ(ReadBytes(excel.ImportedCopy()),
              Utf16File({L"Branch Name: Release", L"Created By: anna", L"Created On: Nov 23 1987 02:45 PM",
                         L"Index;Source File;Branch File;Shared", L"1;C:\\vault\\c\\two.txt;C:\\vault\\B\\two.txt;Yes",
                         L"2;C:\\vault\\b\\" + longName + L";C:\\vault\\B\\" + longName + L";",
                         L"3;C:\\vault\\a\\x.txt;C:\\vault\\B\\x.txt;"}));

    g_toolCalls.clear();
    ASSERT_TRUE(session.WaitForPaint(g_dialog));
    session.Sync();
    EXPECT_TRUE(g_toolCalls.empty()) << "a repaint that changes nothing registers nothing";
    const RECT window = WindowRect(g_dialog);
    ::SetWindowPos(g_dialog, nullptr, 0, 0, window.right - window.left + 40, window.bottom - window.top,
                   SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(session.WaitForPaint(g_dialog));
    session.Sync();
    ::UnhookWindowsHookEx(hook);
    for (RECT& tool : tools)
        ::OffsetRect(&tool, 40, 0);
    const std::vector<ToolCall> expected{
        {TTM_DELTOOLW, 1, {}}, {TTM_ADDTOOLW, 1, tools[0]}, {TTM_DELTOOLW, 2, {}}, {TTM_ADDTOOLW, 2, tools[1]}};
    EXPECT_EQ(g_toolCalls, expected) << "both moved: each registered again under its id";
}

} // namespace
