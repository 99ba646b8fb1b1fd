#pragma once
// Anchored placement of a dialog's controls: each registered control keeps the distances of
// its anchored edges to the matching edges of the dialog's client area.
#include <windows.h>

#include <vector>

#include "base/Geometry.h"

class AnchorLayout {
public:
    // Where a control with `anchors` (StrWndAnchor bits) goes when the client area that
    // measured `reference` now measures `client`. Pure; the rules are in README.md.
    static CRect Place(const CRect& original, int anchors, CSize reference, CSize client) noexcept;

    // Records the control's current rectangle and the current client size; registering an
    // id again replaces the earlier record. False when `dialog` has no such child.
    bool Add(HWND dialog, unsigned ctrlId, int anchors);
    // Moves every registered control that still exists; does nothing while minimised.
    void Update(HWND dialog) const;
    // The registered control's rectangle in client coordinates; empty when unknown or gone.
    CRect CurrentRect(HWND dialog, unsigned ctrlId) const noexcept;
    void Clear() noexcept { m_controls.clear(); }

private:
    struct Control {
        unsigned id;
        int anchors;
        CRect original;
        CSize reference;
    };
    const Control* Find(unsigned ctrlId) const noexcept;
    std::vector<Control> m_controls;
};
