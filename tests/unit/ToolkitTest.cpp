#include <gtest/gtest.h>
#include <windows.h>
#include "module/resource.h"
#include "toolkit/Callback.h"
#include "toolkit/Lst.h"
#include "toolkit/RefPtr.h"
#include "toolkit/UIObject.h"

namespace {

struct Counted : BFC::RefObj {
    explicit Counted(int* alive) : alive(alive) { ++*alive; }
    ~Counted() override { --*alive; }
    int* alive;
};

TEST(RefPtr, TheFirstPointerOwnsANewObjectAndReassigningTheHeldObjectKeepsItAndLstReleasesItsReferences) {
    int alive = 0;
    RefPtr<Counted> a(new Counted(&alive));
    a = a.get();  // the sole owner: releasing before taking the new reference would delete it
    a = a;
    ASSERT_EQ(alive, 1);
    EXPECT_EQ(a->RefCount(), 1u);
    RefPtr<Counted> b(a);
    a = b.get();
    EXPECT_EQ(a->RefCount(), 2u);
    b = nullptr;
    EXPECT_EQ(a->RefCount(), 1u);
    a = nullptr;
    EXPECT_EQ(alive, 0);
    {
        Lst<RefPtr<Counted>> list;
        for (int i = 0; i < 3; ++i)
            list.AddTail(RefPtr<Counted>(new Counted(&alive)));
        EXPECT_EQ(list.GetCount() + alive + int(list.Head()->value->RefCount()), 7);
        EXPECT_TRUE(list.Head()->next->prev == list.Head() && list.Tail()->next == nullptr);
        list.RemoveAll();
        EXPECT_TRUE(!list.Head() && !list.Tail() && list.GetCount() == 0 && alive == 0);
        list.AddTail(RefPtr<Counted>(new Counted(&alive)));
    }
    EXPECT_EQ(alive, 0);
}

class Caption : public BFC::UIObject {
public:
    explicit Caption(std::wstring text) : m_text(std::move(text)) {}
    void Draw(Gdiplus::Graphics&, int, int, int, int, int) override {}
    void GetRect(RECT& out) const override { out = RECT{0, 0, 10, 10}; }
    void GetContent(std::wstring& text, HICON&, UINT&, std::wstring&) const override { text = m_text; }
private:
    std::wstring m_text;
};

TEST(Callback, InvokePostsTheCommandWithNoLParamAndTooltipTextsDropMnemonicsAndPlainEllipses) {
    HWND target = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    RefPtr<BFC::Callback> command(new BFC::Callback(ID_OPEN_AS_CSV));
    command->Invoke(new Caption(L"x"), 0, 0, target, 5, 5);
    EXPECT_EQ(command->invokeCount, 1u);
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, target, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(std::pair(msg.wParam, msg.lParam), std::pair(WPARAM{ID_OPEN_AS_CSV}, LPARAM{0}));
    ::DestroyWindow(target);
    command->Invoke({}, 0, 0, target, 0, 0);
    EXPECT_EQ(command->invokeCount, 2u);
    const wchar_t* rows[][3] = {{L"Save &as...", L"ignored", L"Save as..."},  // its own text keeps its dots
                                {L"", L"Save &as...", L"Save as"},
                                {L"", L"\u00A4Save &as...", L"\u00A4Save as..."},  // a titled caption keeps them
                                {L"", L"", L""}};
    for (const auto& row : rows) {
        Caption element(row[1]);
        element.tooltipText = row[0];
        std::wstring out = L"garbage";
        element.GetTooltipText(out);
        EXPECT_EQ(out, row[2]) << ::testing::PrintToString(std::wstring(row[1]));
    }
}

} // namespace
