#include "AnchorLayout.h"

#include <algorithm>

#include "contracts/Txtres.h"

namespace {

// One axis: the far edge follows the far side of the dialog when anchored there; the near
// edge follows it too unless it is anchored to the near side (then the control stretches).
// With neither side anchored the control stays where it was, as with the near side alone.
void PlaceAxis(LONG& nearEdge, LONG& farEdge, bool nearAnchor, bool farAnchor, LONG delta) noexcept {
    if (!farAnchor) return;
    farEdge += delta;
    if (!nearAnchor) nearEdge += delta;
    farEdge = std::max(farEdge, nearEdge);  // a stretched control shrinks to nothing, not below
}

CRect ChildRect(HWND dialog, HWND child) noexcept {
    CRect rect;
    if (!::GetWindowRect(child, &rect)) return CRect();
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

CSize ClientSize(HWND dialog) noexcept {
    CRect client;
    ::GetClientRect(dialog, &client);
    return client.Size();
}

}  // namespace

CRect AnchorLayout::Place(const CRect& original, int anchors, CSize reference, CSize client) noexcept {
    CRect rect = original;
    PlaceAxis(rect.left, rect.right, anchors & StrWndAnchor::Left, anchors & StrWndAnchor::Right,
              client.cx - reference.cx);
    PlaceAxis(rect.top, rect.bottom, anchors & StrWndAnchor::Top, anchors & StrWndAnchor::Bottom,
              client.cy - reference.cy);
    return rect;
}

bool AnchorLayout::Add(HWND dialog, unsigned ctrlId, int anchors) {
    HWND child = dialog ? ::GetDlgItem(dialog, static_cast<int>(ctrlId)) : nullptr;
    if (!child) return false;
    const Control control{ctrlId, anchors, ChildRect(dialog, child), ClientSize(dialog)};
    for (Control& existing : m_controls) {
        if (existing.id == ctrlId) {
            existing = control;
            return true;
        }
    }
    m_controls.push_back(control);
    return true;
}

void AnchorLayout::Update(HWND dialog) const {
    if (m_controls.empty() || !::IsWindow(dialog) || ::IsIconic(dialog)) return;
    const CSize client = ClientSize(dialog);
    std::vector<std::pair<HWND, CRect>> moves;
    moves.reserve(m_controls.size());
    for (const Control& control : m_controls) {
        HWND child = ::GetDlgItem(dialog, static_cast<int>(control.id));
        if (!child) continue;
        const CRect target = Place(control.original, control.anchors, control.reference, client);
        if (ChildRect(dialog, child) != target) moves.emplace_back(child, target);
    }
    if (moves.empty()) return;

    // All moves land in one go so the dialog does not repaint between them. A failed batch
    // is discarded whole by the system, so then every control is moved on its own.
    constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    HDWP batch = ::BeginDeferWindowPos(static_cast<int>(moves.size()));
    for (const auto& [child, target] : moves) {
        if (!batch) break;
        batch = ::DeferWindowPos(batch, child, nullptr, target.left, target.top, target.Width(),
                                 target.Height(), kFlags);
    }
    if (batch && ::EndDeferWindowPos(batch)) return;
    for (const auto& [child, target] : moves)
        ::SetWindowPos(child, nullptr, target.left, target.top, target.Width(), target.Height(), kFlags);
}

CRect AnchorLayout::CurrentRect(HWND dialog, unsigned ctrlId) const noexcept {
    if (!Find(ctrlId) || !dialog) return CRect();
    HWND child = ::GetDlgItem(dialog, static_cast<int>(ctrlId));
    return child ? ChildRect(dialog, child) : CRect();
}

const AnchorLayout::Control* AnchorLayout::Find(unsigned ctrlId) const noexcept {
    for (const Control& control : m_controls)
        if (control.id == ctrlId) return &control;
    return nullptr;
}
