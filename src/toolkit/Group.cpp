#include "toolkit/Group.h"
#include <algorithm>
#include "framework/CWnd.h"
#include "icons/IconsManager.h"
#include "icons/WorkflowIcons.h"
#include "toolkit/ButtonFrame.h"
#include "toolkit/CGroupPopupWnd.h"

namespace BFC {

namespace {

constexpr uint32_t kHeaderIconNumber = 471;
constexpr uint32_t kArrowIconNumber = 304;
constexpr int kSmallPictures = 3;
constexpr int kHeaderIconWidth = 16;
constexpr Gdiplus::ARGB kCaptionNormal = 0xFF000000, kCaptionHot = 0xFF330099, kCaptionDisabled = 0xFF8D8D8D;

RECT RectOf(const UIObject& element) {
    RECT r{};
    element.GetRect(r);
    return r;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

bool ShowsTooltip(const RefPtr<Callback>& callback) {
    return callback && callback->IsVisible() && !callback->IsDisabled();
}

} // namespace

Group::Group(const RECT& header, const RECT& items, const std::wstring& caption)
    : m_headerLeft(header.left), m_headerTop(header.top), m_headerWidth(Width(header)),
      m_headerHeight(Height(header)), m_itemsLeft(items.left), m_itemsTop(items.top),
      m_expandedWidth(Width(items)), m_expandedHeight(Height(items)) {
    IconsManager* icons = IconsManager::Instance();
    m_headerIconHandle = icons->GetIcon(kHeaderIconNumber, L"PNG_OPEN_CSV", kSmallPictures);
    m_arrowIconHandle = icons->FindIcon(kArrowIconNumber);
    if (!m_arrowIconHandle) {
        m_arrowIconHandle = LoadWfPngIcon(L"PNG_TREE_EXPANDED", kSmallPictures);
        // Only a null record can stand under the number now, so the manager takes the icon.
        (void)icons->StoreIcon(kArrowIconNumber, m_arrowIconHandle);
    }
    m_headerIcon = new Icon(m_headerIconHandle, kHeaderIconWidth);
    m_caption = new Text(caption, kCaptionNormal, new Callback(0), kCaptionHot, kCaptionDisabled);
    m_arrowIcon = new Icon(m_arrowIconHandle, kHeaderIconWidth);
}

Group::Group(const Group& owner, CopyTag)
    : m_collapsed(owner.m_collapsed), m_headerIcon(owner.m_headerIcon), m_caption(owner.m_caption),
      m_arrowIcon(owner.m_arrowIcon), m_headerLeft(owner.m_headerLeft), m_headerTop(owner.m_headerTop),
      m_headerWidth(owner.m_headerWidth), m_headerHeight(owner.m_headerHeight),
      m_headerIconHandle(owner.m_headerIconHandle), m_arrowIconHandle(owner.m_arrowIconHandle),
      m_itemsLeft(owner.m_itemsLeft), m_itemsTop(owner.m_itemsTop), m_expandedWidth(owner.m_expandedWidth),
      m_expandedHeight(owner.m_expandedHeight), m_headerState(owner.m_headerState), m_margin(owner.m_margin),
      m_captionGap(owner.m_captionGap) {
    owner.m_items.ForEach([this](const RefPtr<GrpItem>& item) { m_items.AddTail(item); });
}

Group::~Group() { DestroyPopup(); }

void Group::DestroyPopup() noexcept {
    CGroupPopupWnd* popup = m_popup;
    if (!popup)
        return;
    popup->Close();
    if (popup->IsWindow()) {
        // Its PostNcDestroy forgets it here and deletes it.
        static_cast<void>(popup->DestroyWindow());
    } else {
        m_popup = nullptr;
        delete popup;
    }
    m_popup = nullptr;
}

void Group::AddItem(RefPtr<UIObject> element) { m_items.AddTail(new GrpItem(std::move(element))); }

uint32_t Group::GetLayoutMode() const { return m_layoutMode; }
void Group::SetLayoutMode(uint32_t mode) { m_layoutMode = mode; }
void Group::SetCollapsed(bool collapsed) { m_collapsed = collapsed; }
bool Group::IsCollapsed() const { return m_collapsed; }
void Group::OnCollapsed() {}

template <class F>
void Group::ForEachItemByRow(F&& f) const {
    for (int row = 0;; ++row) {
        int rowHeight = 0;
        for (auto* node = m_items.Head(); node; node = node->next) {
            const GrpItem& item = *node->value;
            if (item.row != row || !item.element)
                continue;
            rowHeight = std::max(rowHeight, Height(RectOf(*item.element)));
            f(item);
        }
        if (rowHeight == 0)
            return;
    }
}

void Group::UpdateSize() {
    UpdateHeaderSize();
    ComputeExpandedSize();
}

void Group::UpdateHeaderSize() {
    int widest = 0, total = 0;
    for (const UIObject* part : {static_cast<UIObject*>(m_headerIcon.get()), static_cast<UIObject*>(m_caption.get()),
                                 static_cast<UIObject*>(m_arrowIcon.get())}) {
        const RECT r = RectOf(*part);
        widest = std::max(widest, Width(r));
        total += Height(r);
    }
    m_headerWidth = widest + 6;
    // Never lower than the strip the owner gave.
    m_headerHeight = std::max(total, m_headerHeight);
}

void Group::ComputeExpandedSize() {
    int width = 0, height = 0;
    for (int row = 0;; ++row) {
        int x = 0, rowHeight = 0;
        for (auto* node = m_items.Head(); node; node = node->next) {
            const GrpItem& item = *node->value;
            if (item.row != row || !item.element)
                continue;
            UIObject& e = *item.element;
            const RECT r = RectOf(e);
            const int h = Height(r);
            e.SetLeft(m_margin + x);
            e.SetCenterY(h / 2 + height + m_margin);
            rowHeight = std::max(rowHeight, h);
            x += Width(r) + item.gap;
        }
        if (rowHeight == 0)
            break;
        height += rowHeight;
        width = std::max(width, x);
    }
    width += 2 * m_margin;
    height += 2 * m_margin;
    m_expandedWidth = width;
    m_expandedHeight = std::max(m_expandedHeight, height);
}

int Group::GetExpandedWidth() {
    ComputeExpandedSize();
    return m_expandedWidth;
}

int Group::GetMaximumWidth() { return GetExpandedWidth(); }

void Group::GetRect(RECT& out) const {
    out = m_collapsed ? HeaderRect()
                      : RECT{m_itemsLeft, m_itemsTop, m_itemsLeft + m_expandedWidth, m_itemsTop + m_expandedHeight};
}

RECT Group::HeaderRect() const noexcept {
    return RECT{m_headerLeft, m_headerTop, m_headerLeft + m_headerWidth, m_headerTop + m_headerHeight};
}

RECT Group::ItemRect(const UIObject& element) const {
    RECT r = RectOf(element);
    ::OffsetRect(&r, m_itemsLeft, m_itemsTop);
    return r;
}

bool Group::InHeader(int x, int y) const noexcept {
    return x >= m_headerLeft && x < m_headerLeft + m_headerWidth && y >= m_headerTop &&
           y < m_headerTop + m_headerHeight;
}

void Group::Draw(Gdiplus::Graphics& g, int x, int y, int, int rightLimit, int extra) {
    if (m_collapsed) {
        m_headerLeft = x;
        m_headerTop = y;
        DrawHeader(g, rightLimit);
    } else {
        m_itemsLeft = x;
        m_itemsTop = y;
        DrawItems(g, rightLimit, extra);
    }
}

void Group::DrawHeader(Gdiplus::Graphics& g, int rightLimit) {
    const int X = m_headerLeft, Y = m_headerTop, W = m_headerWidth, H = m_headerHeight;
    if (m_headerState != StateNormal)
        DrawButtonFrame(g, m_headerState, X + 1, Y + 1, W - 2, H - 2);
    const RECT icon = RectOf(*m_headerIcon), caption = RectOf(*m_caption), arrow = RectOf(*m_arrowIcon);
    const int h1 = Height(icon), h2 = Height(caption), h3 = Height(arrow);
    const int p = m_headerState == StatePressed ? 1 : 0;
    const int t = p + 3 + (H - h1 - h2 - h3) / 2;
    m_headerIcon->Draw(g, X + (W - Width(icon)) / 2 + p, Y + t, m_headerState, rightLimit, 0);
    m_caption->Draw(g, X - 1 + (W - Width(caption)) / 2 + p, Y + t + h1, m_headerState, rightLimit, 0);
    m_arrowIcon->Draw(g, X + (W - Width(arrow)) / 2 + p, Y + t + h1 + h2, m_headerState, rightLimit, 0);
}

void Group::DrawItems(Gdiplus::Graphics& g, int rightLimit, int extra) {
    const int x = m_itemsLeft, y = m_itemsTop;
    ForEachItemByRow([&](const GrpItem& item) {
        UIObject* e = item.element.get();
        const int state = e == m_pressedItem.get() ? StatePressed : e == m_hotItem.get() ? StateHot : StateNormal;
        e->Draw(g, x, y, state, rightLimit - x, extra);
    });
}

void Group::SetHeaderState(HWND wnd, int state) {
    const RECT header = HeaderRect();
    ::InvalidateRect(wnd, &header, TRUE);
    m_headerState = state;
}

void Group::OnMouseMove(HWND wnd, int x, int y) {
    if (!m_collapsed)
        return MouseMoveExpanded(wnd, x, y);
    const bool inside = InHeader(x, y);
    if (inside && m_headerState == StateNormal)
        SetHeaderState(wnd, StateHot);
    else if (!inside && m_headerState != StateNormal)
        SetHeaderState(wnd, StateNormal);
}

void Group::OnLButtonDown(HWND wnd, int x, int y) {
    if (!m_collapsed)
        return LButtonDownExpanded(wnd, x, y);
    if (m_headerState != StatePressed && InHeader(x, y))
        SetHeaderState(wnd, StatePressed);
}

void Group::OnLButtonUp(HWND wnd, int x, int y) {
    if (!m_collapsed)
        return LButtonUpExpanded(wnd, x, y);
    if (InHeader(x, y))
        OpenPopup(wnd);
}

RefPtr<UIObject> Group::ItemAt(int x, int y) const {
    RefPtr<UIObject> found;
    const POINT pt{x, y};
    ForEachItemByRow([&](const GrpItem& item) {
        const RECT r = ItemRect(*item.element);
        if (::PtInRect(&r, pt))
            found = item.element;
    });
    return found;
}

void Group::MouseMoveExpanded(HWND wnd, int x, int y) {
    RefPtr<UIObject> found = ItemAt(x, y);
    if (found.get() == m_hotItem.get())
        return;
    if (m_hotItem) {
        const RECT old = ItemRect(*m_hotItem);
        ::InvalidateRect(wnd, &old, TRUE);
        m_pressedItem = nullptr;
    }
    m_hotItem = found;
    if (m_hotItem) {
        const RECT now = ItemRect(*m_hotItem);
        ::InvalidateRect(wnd, &now, TRUE);
    }
}

void Group::LButtonDownExpanded(HWND wnd, int x, int y) {
    m_pressedItem = m_hotItem;
    if (!m_hotItem)
        return;
    const RefPtr<UIObject> hot = m_hotItem;
    if (hot->ActsOnPress())
        LButtonUpExpanded(wnd, x, y);
    const RECT r = ItemRect(*hot);
    ::InvalidateRect(wnd, &r, TRUE);
}

void Group::LButtonUpExpanded(HWND wnd, int x, int y) {
    if (!m_hotItem || m_pressedItem.get() != m_hotItem.get())
        return;
    // Held here: releasing the capture may close a popup, whose copy of a group this may be.
    const RefPtr<UIObject> item = m_hotItem;
    const RefPtr<Callback> callback = item->GetCallback();
    if (callback && !callback->IsDisabled() && callback->IsVisible()) {
        callback->Invoke(item, m_itemsLeft, m_itemsTop, wnd, x, y);
        if (!callback->KeepsMouseCapture() && CWnd::FromHandlePermanent(::GetCapture()))
            ::ReleaseCapture();
    }
    const RECT r = ItemRect(*item);
    ::InvalidateRect(wnd, &r, TRUE);
    m_pressedItem = nullptr;
}

void Group::OpenPopup(HWND wnd) {
    if (m_popup) {
        if (m_popup->IsWindow())
            return;
        DestroyPopup();  // one whose window could not be made
    }
    RECT rect{0, m_headerHeight, m_expandedWidth, m_headerHeight + m_expandedHeight + 1};
    POINT corner{m_headerLeft, m_headerTop};
    ::ClientToScreen(wnd, &corner);
    ::OffsetRect(&rect, corner.x, corner.y);
    m_popup = new CGroupPopupWnd;
    static_cast<void>(m_popup->Create(CWnd::FromHandle(wnd), rect, RefPtr<Group>(this)));
}

void Group::CollectTooltips(Lst<Tooltip>& out) const {
    out.RemoveAll();
    if (m_collapsed)
        return;
    ForEachItemByRow([&](const GrpItem& item) {
        if (!ShowsTooltip(item.element->GetCallback()))
            return;
        Tooltip tip;
        tip.rect = ItemRect(*item.element);
        item.element->GetTooltipText(tip.text);
        if (!tip.text.empty())
            out.AddTail(std::move(tip));
    });
}

} // namespace BFC
