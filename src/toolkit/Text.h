#pragma once
#include <optional>
#include "toolkit/UIObject.h"

namespace BFC {

// One line of text in the menu font. With a callback it is a link: its colour follows the state
// and the hand cursor shows over it; without one it always draws in its normal colour.
class Text : public UIObject {
public:
    Text(std::wstring text, Gdiplus::ARGB normal, RefPtr<Callback> callback, Gdiplus::ARGB hot,
         Gdiplus::ARGB disabled);
    ~Text() override;

    // Cut with an ellipsis where it would pass `rightLimit`.
    void Draw(Gdiplus::Graphics& g, int x, int y, int state, int rightLimit, int extra) override;
    int HitTest(int x, int y, bool pressed) override;
    void GetRect(RECT& out) const override;
    void SetRect(const RECT& rect) override;
    RefPtr<Callback> GetCallback() const override;
    bool IsTextElement() const override;
    void SetCenterY(int y) override;
    void SetLeft(int x) override;
    void GetContent(std::wstring& text, HICON& icon, UINT& resourceId, std::wstring& resourceName) const override;
    bool IsInteractive() const override;

private:
    void MakeFontAndMeasure();
    const Gdiplus::Brush& BrushFor(int state) const;
    INT Length() const { return static_cast<INT>(m_text.size()); }

    std::wstring m_text;
    Gdiplus::RectF m_bounds;
    Gdiplus::SolidBrush m_normalBrush;
    Gdiplus::SolidBrush m_hotBrush;
    Gdiplus::SolidBrush m_disabledBrush;
    std::optional<Gdiplus::Font> m_font;
    RefPtr<Callback> m_callback;
    Gdiplus::StringAlignment m_alignment = Gdiplus::StringAlignmentCenter;
    Gdiplus::TextRenderingHint m_renderingHint = Gdiplus::TextRenderingHintClearTypeGridFit;
};

} // namespace BFC
