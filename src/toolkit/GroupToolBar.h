#pragma once
#include <cstdint>
#include <map>
#include <vector>
#include "toolkit/Group.h"

namespace BFC {

// Groups of buttons laid out left to right in a strip of a window it does not own. The layout
// expands groups by ascending key while they fit and collapses the rest; drawing and tooltips
// follow the order the groups were added in. The owner forwards painting, sizing and the mouse.
class GroupToolBar : public UIObject {
public:
    GroupToolBar() = default;
    // Closes the groups' open popups first.
    ~GroupToolBar() override;

    void Draw(Gdiplus::Graphics& g, int x, int y, int state, int rightLimit, int extra) override;
    void GetRect(RECT& out) const override;
    // Sizes the groups again, lays them out in the strip and repaints it.
    void Invalidate(HWND wnd) override;

    // A key already present keeps its group.
    void AddGroup(uint32_t key, RefPtr<Group> group);
    void Layout(int availableWidth);
    int TotalWidth() const;
    void CollectTooltips(Lst<Tooltip>& out) const;

    // The groups in ascending key order.
    template <class F>
    void ForEachGroup(F&& f) const {
        for (const auto& entry : m_groups)
            f(*entry.second);
    }

    bool drawn = false;  // set by the first Draw
    int left = 0, top = 0, width = 0, height = 0;

private:
    Group* Find(uint32_t key) const;

    std::vector<uint32_t> m_order;
    std::map<uint32_t, RefPtr<Group>> m_groups;
};

} // namespace BFC
