#include "toolkit/Text.h"
#include "base/ScopedHandle.h"
#include "contracts/ZebSettings.h"

namespace BFC {

namespace {

constexpr int kDesignHeight = 14;
constexpr LONG kMediumWeight = 500;

// The menu font of the system, at the toolbar's own height and weight, smoothed.
LOGFONTW ToolbarFont() {
    NONCLIENTMETRICSW metrics{};
    static_assert(sizeof(metrics) == 504, "the size the system's non-client metrics are read with");
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    LOGFONTW font = metrics.lfMenuFont;
    font.lfHeight = CDPIHelper::get()->scaleY(kDesignHeight);
    font.lfWeight = kMediumWeight;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = ANTIALIASED_QUALITY;
    font.lfPitchAndFamily = 0;
    ::lstrcpynW(font.lfFaceName, L"MS Shell Dlg", LF_FACESIZE);
    return font;
}

} // namespace

Text::Text(std::wstring text, Gdiplus::ARGB normal, RefPtr<Callback> callback, Gdiplus::ARGB hot,
           Gdiplus::ARGB disabled)
    : m_text(std::move(text)),
      m_bounds(0, 0, 0, 0),
      m_normalBrush(Gdiplus::Color(normal)),
      m_hotBrush(Gdiplus::Color(hot)),
      m_disabledBrush(Gdiplus::Color(disabled)),
      m_callback(std::move(callback)) {
    MakeFontAndMeasure();
}

Text::~Text() = default;

// Measured once on the screen's DC; the bounds are the element's size from then on.
void Text::MakeFontAndMeasure() {
    const LOGFONTW logFont = ToolbarFont();
    const ScopedWindowDC screen(nullptr, true);
    m_font.emplace(screen.get(), &logFont);
    const Gdiplus::Graphics graphics(screen.get());
    graphics.MeasureString(m_text.c_str(), Length(), &*m_font, Gdiplus::RectF(0, 0, 0, 0), &m_bounds);
    if (logFont.lfHeight < 0)
        m_bounds.Height += 1.0f;
}

const Gdiplus::Brush& Text::BrushFor(int state) const {
    switch (state) {
    case StateNormal:
        return m_normalBrush;
    case StateDisabled:
        return m_disabledBrush;
    default:
        return m_hotBrush;
    }
}

void Text::Draw(Gdiplus::Graphics& g, int x, int y, int state, int rightLimit, int) {
    const int effective = m_callback ? state : StateNormal;
    Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoFitBlackBox | Gdiplus::StringFormatFlagsNoClip);
    format.SetAlignment(m_alignment);
    Gdiplus::RectF r(m_bounds.X + x, m_bounds.Y + y, m_bounds.Width, m_bounds.Height);
    Gdiplus::RectF measured;
    g.MeasureString(m_text.c_str(), Length(), &*m_font, Gdiplus::PointF(r.X, r.Y), &measured);
    if (r.X + r.Width > rightLimit) {
        r.Width = rightLimit - r.X;
        format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
    } else if (measured.Width > r.Width) {
        format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
    }
    const Gdiplus::TextRenderingHint previous = g.GetTextRenderingHint();
    g.SetTextRenderingHint(m_renderingHint);
    g.DrawString(m_text.c_str(), Length(), &*m_font, r, &format, &BrushFor(effective));
    g.SetTextRenderingHint(previous);
}

int Text::HitTest(int x, int y, bool pressed) {
    if (!m_callback)
        return StateNormal;
    const auto fx = static_cast<Gdiplus::REAL>(x);
    const auto fy = static_cast<Gdiplus::REAL>(y);
    if (fx < m_bounds.X || fx >= m_bounds.X + m_bounds.Width || fy < m_bounds.Y || fy >= m_bounds.Y + m_bounds.Height)
        return StateNormal;
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return StateHot + (pressed ? 1 : 0);
}

void Text::GetRect(RECT& out) const {
    const auto left = static_cast<LONG>(m_bounds.X);
    const auto top = static_cast<LONG>(m_bounds.Y);
    out = RECT{left, top, static_cast<LONG>(m_bounds.Width) + left, static_cast<LONG>(m_bounds.Height) + top};
}

void Text::SetRect(const RECT& rect) {
    m_bounds = Gdiplus::RectF(static_cast<Gdiplus::REAL>(rect.left), static_cast<Gdiplus::REAL>(rect.top),
                              static_cast<Gdiplus::REAL>(rect.right - rect.left),
                              static_cast<Gdiplus::REAL>(rect.bottom - rect.top));
}

RefPtr<Callback> Text::GetCallback() const { return m_callback; }

bool Text::IsTextElement() const { return true; }

void Text::SetCenterY(int y) { m_bounds.Y = static_cast<Gdiplus::REAL>(y) - 0.5f * m_bounds.Height; }

void Text::SetLeft(int x) { m_bounds.X = static_cast<Gdiplus::REAL>(x); }

void Text::GetContent(std::wstring& text, HICON&, UINT&, std::wstring&) const { text = m_text; }

bool Text::IsInteractive() const { return static_cast<bool>(m_callback); }

} // namespace BFC
