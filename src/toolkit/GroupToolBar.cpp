#include "toolkit/GroupToolBar.h"
#include <algorithm>

namespace BFC {

namespace {

// Layout modes of a group.
constexpr uint32_t kTakesLeftOver = 1;   // the first such group takes all width left over
constexpr uint32_t kWidensToFit = 2;     // widened up to its expanded width, in order
constexpr uint32_t kWholeToolbar = 3;    // given the whole strip, never collapsed, no tooltips
constexpr uint32_t kLeftAlone = 4;

bool IsLaidOut(uint32_t mode) { return mode != kWholeToolbar && mode != kLeftAlone; }

int WidthOf(const UIObject& element) {
    RECT r{};
    element.GetRect(r);
    return r.right - r.left;
}

} // namespace

GroupToolBar::~GroupToolBar() {
    for (auto& entry : m_groups)
        entry.second->DestroyPopup();
}

Group* GroupToolBar::Find(uint32_t key) const {
    const auto found = m_groups.find(key);
    return found == m_groups.end() ? nullptr : found->second.get();
}

void GroupToolBar::AddGroup(uint32_t key, RefPtr<Group> group) {
    if (m_groups.count(key))
        return;
    m_groups.emplace(key, std::move(group));
    m_order.push_back(key);
}

void GroupToolBar::GetRect(RECT& out) const { out = RECT{left, top, left + width, top + height}; }

void GroupToolBar::Draw(Gdiplus::Graphics& g, int x, int y, int state, int rightLimit, int) {
    int cx = x + left;
    const int cy = y + top;
    for (uint32_t key : m_order) {
        if (Group* group = Find(key)) {
            group->Draw(g, cx, cy, state, rightLimit, 0);
            cx += WidthOf(*group);
        }
    }
    drawn = true;
}

int GroupToolBar::TotalWidth() const {
    int total = 0;
    for (const auto& entry : m_groups)
        total += WidthOf(*entry.second);
    return total;
}

void GroupToolBar::Layout(int availableWidth) {
    RECT whole{};
    GetRect(whole);
    for (auto& entry : m_groups) {
        Group& group = *entry.second;
        const uint32_t mode = group.GetLayoutMode();
        if (mode == kWholeToolbar) {
            group.SetRect(whole);
        } else if (mode != kLeftAlone) {
            group.SetCollapsed(true);
            group.OnCollapsed();
        }
    }

    // Lower keys are expanded first, whatever the drawing order; the first that does not fit
    // ends the layout with every later group left collapsed.
    std::vector<uint32_t> byKey = m_order;
    std::sort(byKey.begin(), byKey.end());
    for (uint32_t key : byKey) {
        Group* group = Find(key);
        if (!group || !IsLaidOut(group->GetLayoutMode()))
            continue;
        group->SetCollapsed(false);
        if (TotalWidth() > availableWidth) {
            group->SetCollapsed(true);
            return;
        }
    }

    for (uint32_t key : m_order) {
        Group* group = Find(key);
        if (!group || group->GetLayoutMode() != kWidensToFit)
            continue;
        const int extra = availableWidth - TotalWidth();
        RECT r{};
        group->GetRect(r);
        const int w = r.right - r.left + extra;
        const int cap = group->GetMaximumWidth();
        r.right = r.left + std::min(w, cap);
        group->SetRect(r);
        if (w <= cap)
            return;
    }

    for (uint32_t key : m_order) {
        Group* group = Find(key);
        if (!group || group->GetLayoutMode() != kTakesLeftOver)
            continue;
        const int extra = availableWidth - TotalWidth();
        RECT r{};
        group->GetRect(r);
        r.right += extra;
        group->SetRect(r);
        return;
    }
}

void GroupToolBar::Invalidate(HWND wnd) {
    for (auto& entry : m_groups)
        entry.second->UpdateSize();
    Layout(width);
    RECT r{};
    GetRect(r);
    ::InvalidateRect(wnd, &r, TRUE);
}

void GroupToolBar::CollectTooltips(Lst<Tooltip>& out) const {
    out.RemoveAll();
    for (uint32_t key : m_order) {
        const Group* group = Find(key);
        if (!group || group->GetLayoutMode() == kWholeToolbar)
            continue;
        Lst<Tooltip> scratch;
        group->CollectTooltips(scratch);
        scratch.ForEach([&out](const Tooltip& tip) { out.AddTail(tip); });
    }
}

} // namespace BFC
