#include "toolkit/ButtonFrame.h"

namespace BFC {

namespace {

struct FrameColours {
    Gdiplus::ARGB outer, second, inner, fill;
};
constexpr FrameColours kHot{0x326464A0, 0x646464A0, 0x96FFFFFF, 0x5AFFFFFF};
constexpr FrameColours kPressed{0x323C3C3C, 0x963C3C3C, 0x966464A0, 0x3CA0A0B4};

void DrawOutline(Gdiplus::Graphics& g, Gdiplus::ARGB colour, const Gdiplus::Point (&points)[9]) {
    const Gdiplus::Pen pen(Gdiplus::Color(colour), 1.0f);
    g.DrawLines(&pen, points, 9);
}

} // namespace

void DrawButtonFrame(Gdiplus::Graphics& g, int state, int X, int Y, int W, int H) {
    const FrameColours& colours = state == StatePressed ? kPressed : kHot;
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

} // namespace BFC
