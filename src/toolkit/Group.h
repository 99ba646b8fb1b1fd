#pragma once
#include <cstdint>
#include "toolkit/GrpItem.h"
#include "toolkit/Icon.h"
#include "toolkit/Lst.h"
#include "toolkit/Text.h"
#include "toolkit/Tooltip.h"

class CGroupPopupWnd;

namespace BFC {

// A named set of buttons with two faces. Expanded, it shows its items in rows and tracks the
// hot and pressed item itself. Collapsed, it shows a header (icon, caption, arrow) that opens
// a popup with the items just below it. The toolbar's layout picks the face.
class Group : public UIObject {
public:
    // Rectangles in the owner's client coordinates; UpdateSize replaces their sizes.
    Group(const RECT& header, const RECT& items, const std::wstring& caption);
    ~Group() override;

    // Draws the face it shows at (x, y) and takes that point as its own position. The state
    // argument is not used: the group draws the states it tracks.
    void Draw(Gdiplus::Graphics& g, int x, int y, int state, int rightLimit, int extra) override;
    void GetRect(RECT& out) const override;

    virtual uint32_t GetLayoutMode() const;
    virtual void SetLayoutMode(uint32_t mode);
    virtual void SetCollapsed(bool collapsed);
    virtual bool IsCollapsed() const;
    // Client coordinates of `wnd`, the window the group is drawn in.
    virtual void OnMouseMove(HWND wnd, int x, int y);
    virtual void OnLButtonDown(HWND wnd, int x, int y);
    // Collapsed, a release on the header opens the popup, wherever the press was.
    virtual void OnLButtonUp(HWND wnd, int x, int y);
    virtual void UpdateSize();
    virtual void OnCollapsed();
    virtual int GetExpandedWidth();
    virtual int GetMaximumWidth();
    virtual void ComputeExpandedSize();

    void AddItem(RefPtr<UIObject> element);
    // The tips of the visible, enabled items; none while collapsed.
    void CollectTooltips(Lst<Tooltip>& out) const;

    // The open popup, or null.
    CGroupPopupWnd* Popup() const noexcept { return m_popup; }
    // Closes and destroys the popup, if any.
    void DestroyPopup() noexcept;
    int HeaderState() const noexcept { return m_headerState; }

private:
    friend class ::CGroupPopupWnd;
    struct CopyTag {};
    // What the popup shows: the same header elements and items, no hot or pressed item.
    Group(const Group& owner, CopyTag);

    void UpdateHeaderSize();
    bool InHeader(int x, int y) const noexcept;
    RECT HeaderRect() const noexcept;
    RECT ItemRect(const UIObject& element) const;
    void SetHeaderState(HWND wnd, int state);
    // The items of row r in list order, while the row holds anything.
    template <class F>
    void ForEachItemByRow(F&& f) const;
    RefPtr<UIObject> ItemAt(int x, int y) const;
    void OpenPopup(HWND wnd);
    void DrawHeader(Gdiplus::Graphics& g, int rightLimit);
    void DrawItems(Gdiplus::Graphics& g, int rightLimit, int extra);
    void MouseMoveExpanded(HWND wnd, int x, int y);
    void LButtonDownExpanded(HWND wnd, int x, int y);
    void LButtonUpExpanded(HWND wnd, int x, int y);

    bool m_collapsed = false;
    RefPtr<Icon> m_headerIcon;
    RefPtr<Text> m_caption;
    RefPtr<Icon> m_arrowIcon;
    int m_headerLeft = 0, m_headerTop = 0, m_headerWidth = 0, m_headerHeight = 0;
    HICON m_headerIconHandle = nullptr;  // both held by the icons manager
    HICON m_arrowIconHandle = nullptr;
    uint32_t m_layoutMode = 0;
    Lst<RefPtr<GrpItem>> m_items;
    int m_itemsLeft = 0, m_itemsTop = 0, m_expandedWidth = 0, m_expandedHeight = 0;
    int m_headerState = StateNormal;
    RefPtr<UIObject> m_pressedItem;
    RefPtr<UIObject> m_hotItem;
    CGroupPopupWnd* m_popup = nullptr;
    int m_margin = 2;
    int m_captionGap = 3;
};

} // namespace BFC
