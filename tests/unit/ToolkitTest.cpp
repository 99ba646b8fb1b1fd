// Commands and tooltip texts of toolbar elements.
#include <gtest/gtest.h>
#include <windows.h>
#include "toolkit/Callback.h"
#include "toolkit/UIObject.h"

namespace {

class Caption : public BFC::UIObject {
public:
    explicit Caption(std::wstring text) : m_text(std::move(text)) {}
    void Draw(Gdiplus::Graphics&, int, int, int, int, int) override {}
    void GetRect(RECT& out) const override { out = RECT{0, 0, 10, 10}; }
    void GetContent(std::wstring& text, HICON&, UINT&, std::wstring&) const override { text = m_text; }
private:
    std::wstring m_text;
};

TEST(Callback, InvokePostsTheCommandWithNoLParamAndCountsOnce) {
    HWND target = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(target);
    RefPtr<BFC::Callback> command(new BFC::Callback(4007));
    RefPtr<BFC::UIObject> source(new Caption(L"x"));
    command->Invoke(source, 0, 0, target, 5, 5);
    EXPECT_EQ(command->invokeCount, 1u);

    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, target, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 4007u);
    EXPECT_EQ(msg.lParam, 0);
    ::DestroyWindow(target);
}

TEST(Callback, CountsEvenWhenThePostFails) {
    RefPtr<BFC::Callback> command(new BFC::Callback(4008));
    command->Invoke({}, 0, 0, reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FFF0001)), 0, 0);
    EXPECT_EQ(command->invokeCount, 1u);
}

struct TooltipCase {
    const char* name;
    const wchar_t* tooltipText;
    const wchar_t* content;
    const wchar_t* expected;
};

class TooltipText : public ::testing::TestWithParam<TooltipCase> {};

TEST_P(TooltipText, DropsMnemonicsAndTheEllipsisOfPlainCaptions) {
    RefPtr<Caption> element(new Caption(GetParam().content));
    element->tooltipText = GetParam().tooltipText;
    std::wstring out = L"garbage";
    element->GetTooltipText(out);
    EXPECT_EQ(out, std::wstring(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Elements, TooltipText,
    ::testing::Values(TooltipCase{"OwnTextKeepsItsDots", L"Save &as...", L"ignored", L"Save as..."},
                      TooltipCase{"CaptionLosesItsDots", L"", L"Save &as...", L"Save as"},
                      TooltipCase{"TitledCaptionKeepsItsDots", L"", L"\u00A4Save &as...", L"\u00A4Save as..."},
                      TooltipCase{"EmptyStaysEmpty", L"", L"", L""}),
    [](const ::testing::TestParamInfo<TooltipCase>& info) { return std::string(info.param.name); });

} // namespace
