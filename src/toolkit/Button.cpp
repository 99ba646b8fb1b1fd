#include "toolkit/Button.h"
#include "contracts/ZebSettings.h"

namespace BFC {

namespace {

constexpr int kPadding = 10;   // five pixels each side of the content
constexpr int kMinMargin = 4;  // above and below content taller than the DPI's button

struct FrameColours {
    Gdiplus::ARGB outer, second, inner, fill;
};
constexpr FrameColours kHot{0x326464A0, 0x646464A0, 0x96FFFFFF, 0x5AFFFFFF};
constexpr FrameColours kPressed{0x323C3C3C, 0x963C3C3C, 0x966464A0, 0x3CA0A0B4};

void DrawOutline(Gdiplus::Graphics& g, Gdiplus::ARGB colour, const Gdiplus::Point (&points)[9]) {
    const Gdiplus::Pen pen(Gdiplus::Color(colour), 1.0f);
    g.DrawLines(&pen, points, 9);
}

// Three outlines with rounded corners and a fill; the last column and row stay clear.
void DrawFrame(Gdiplus::Graphics& g, const FrameColours& colours, int X, int Y, int W, int H) {
    DrawOutline(g, colours.outer,
                {{X, Y + H - 3}, {X, Y + 1}, {X + 1, Y}, {X + W - 3, Y}, {X + W - 2, Y + 1}, {X + W - 2, Y + H - 3},
                 {X + W - 3, Y + H - 2}, {X + 1, Y + H - 2}, {X, Y + H - 3}});
    DrawOutline(g, colours.second,
                {{X, Y + H - 4}, {X, Y + 2}, {X + 2, Y}, {X + W - 4, Y}, {X + W - 2, Y + 2}, {X + W - 2, Y + H - 4},
                 {X + W - 4, Y + H - 2}, {X + 2, Y + H - 2}, {X, Y + H - 4}});
    DrawOutline(g, colours.inner,
                {{X + 1, Y + H - 4}, {X + 1, Y + 2}, {X + 2, Y + 1}, {X + W - 4, Y + 1}, {X + W - 3, Y + 2},
                 {X + W - 3, Y + H - 4}, {X + W - 4, Y + H - 3}, {X + 2, Y + H - 3}, {X + 1, Y + H - 4}});
    const Gdiplus::SolidBrush fill{Gdiplus::Color(colours.fill)};
    g.FillRectangle(&fill, X + 2, Y + 2, W - 5, H - 5);
}

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
        DrawFrame(g, frame == StatePressed ? kPressed : kHot, X, Y, m_width, m_height);
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
