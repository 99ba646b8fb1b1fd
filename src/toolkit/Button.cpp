#include "toolkit/Button.h"
#include "contracts/ZebSettings.h"
#include "toolkit/ButtonFrame.h"

namespace BFC {

namespace {

constexpr int kPadding = 10;   // five pixels each side of the content
constexpr int kMinMargin = 4;  // above and below content taller than the DPI's button

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

} // namespace

Button::Button(RefPtr<UIObject> content, RefPtr<Callback> callback, std::wstring text)
    : m_content(std::move(content)), m_callback(std::move(callback)), m_text(std::move(text)) {
    RECT c{};
    if (m_content)
        m_content->GetRect(c);
    const int buttonSize = CDPIHelper::get()->getToolbarButtonSizeExp();
    m_height = buttonSize > Height(c) ? buttonSize : Height(c) + kMinMargin;
    m_width = Width(c) + kPadding;
    if (m_content) {
        m_content->SetLeft((m_width - Width(c)) / 2);
        m_content->SetCenterY(m_height / 2);
    }
}

bool Button::IsHidden() const { return m_callback && !m_callback->IsVisible(); }

// Without a command, or with a disabled one, the button neither frames nor presses.
bool Button::IsOff() const { return !m_callback || m_callback->IsDisabled(); }

void Button::Draw(Gdiplus::Graphics& g, int x, int y, int state, int rightLimit, int extra) {
    if (IsHidden())
        return;
    const int frame = IsOff() ? StateNormal : state;
    const int X = m_left + x;
    const int Y = m_top + y;
    if (frame != StateNormal)
        DrawButtonFrame(g, frame, X, Y, m_width, m_height);
    if (!m_content)
        return;
    const int contentState = IsOff() ? StateDisabled : state;
    const int offset = frame == StatePressed ? 1 : 0;
    RECT c{};
    m_content->GetRect(c);
    const int limit = Width(c) > m_width ? X + m_width : rightLimit;
    m_content->Draw(g, X + offset, Y + offset, contentState, limit, extra);
}

int Button::HitTest(int x, int y, bool pressed) {
    if (IsOff())
        return StateDisabled;
    const bool inside = x >= m_left && x < m_left + m_width && y >= m_top && y < m_top + m_height;
    return inside ? StateHot + (pressed ? 1 : 0) : StateNormal;
}

void Button::GetRect(RECT& out) const {
    out = IsHidden() ? RECT{} : RECT{m_left, m_top, m_left + m_width, m_top + m_height};
}

void Button::SetRect(const RECT& rect) {
    m_left = rect.left;
    m_top = rect.top;
    m_width = Width(rect);
    m_height = Height(rect);
}

RefPtr<Callback> Button::GetCallback() const { return m_callback; }

void Button::SetCenterY(int y) { m_top = y - m_height / 2; }

void Button::SetLeft(int x) { m_left = x; }

void Button::GetContent(std::wstring& text, HICON& icon, UINT& resourceId, std::wstring& resourceName) const {
    if (m_content)
        m_content->GetContent(text, icon, resourceId, resourceName);
    if (!m_text.empty())
        text = m_text;
}

void Button::SetContent(RefPtr<UIObject> content) {
    if (!content)
        return;
    RECT old{};
    if (m_content)
        m_content->GetRect(old);
    content->SetLeft(old.left);
    content->SetCenterY(m_height / 2);
    m_content = std::move(content);
    RECT c{};
    m_content->GetRect(c);
    m_width = Width(c) + kPadding;
    m_content->SetLeft((m_width - Width(c)) / 2);
}

} // namespace BFC
