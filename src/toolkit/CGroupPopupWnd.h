#pragma once
#include "framework/CWnd.h"
#include "toolkit/Group.h"

// The popup of a collapsed group: a bordered, shadowed window just below the group's header
// that shows the group's items expanded. It holds the mouse capture while open and closes
// after a command, on Esc, on a release outside it, or when it loses the capture. It deletes
// itself once its window is gone.
class CGroupPopupWnd : public CWnd {
public:
    static constexpr UINT kClosedMessage = WM_USER + 100;     // posted to the parent on closing
    static constexpr UINT kKeepOpenMessage = WM_USER + 101;   // losing the capture no longer closes
    static constexpr UINT kRecaptureMessage = WM_USER + 102;  // closes on losing it again, takes it back

    CGroupPopupWnd() = default;
    ~CGroupPopupWnd() override;

    // `rect` in screen coordinates. Does nothing when the window exists already.
    BOOL Create(CWnd* parent, const RECT& rect, RefPtr<BFC::Group> owner);
    void Close();

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void PostNcDestroy() override;

private:
    bool InClient(int x, int y) const;

    RefPtr<BFC::Group> m_group;    // the copy shown here; moved to m_retired by Close
    RefPtr<BFC::Group> m_retired;  // a closed copy may still be finishing its own handling
    RefPtr<BFC::Group> m_owner;
    HWND m_parent = nullptr;
    bool m_keepOpen = false;
};
