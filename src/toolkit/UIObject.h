#pragma once
#include <windows.h>
#include <objidl.h>  // GDI+ needs PROPID, which WIN32_LEAN_AND_MEAN leaves out
#include <gdiplus.h>
#include <string>
#include "toolkit/Callback.h"
#include "toolkit/RefPtr.h"

namespace BFC {

// Element states, given to Draw and answered by HitTest.
enum ElementState { StateNormal = 0, StateHot = 1, StatePressed = 2, StateDisabled = 3 };

// Base of every drawable element. Each element starts GDI+ for itself, so elements can come
// and go in any order while the module keeps no process-wide GDI+ state.
class UIObject : public RefObj {
public:
    UIObject();
    ~UIObject() override;

    // Draws the element moved by (x, y). Text may reach `rightLimit`; `extra` is passed on.
    virtual void Draw(Gdiplus::Graphics& g, int x, int y, int state, int rightLimit, int extra) = 0;
    virtual int HitTest(int x, int y, bool pressed);
    virtual void GetRect(RECT& out) const = 0;
    virtual void SetRect(const RECT& rect);
    virtual RefPtr<Callback> GetCallback() const;
    virtual bool IsTextElement() const;
    virtual void SetCenterY(int y);
    virtual void SetLeft(int x);
    // What the element shows: its text, or the icon it was made from.
    virtual void GetContent(std::wstring& text, HICON& icon, UINT& resourceId, std::wstring& resourceName) const;
    virtual int PassValue(int value);
    virtual void GetTooltipText(std::wstring& out) const;
    virtual bool ActsOnPress() const;
    virtual bool IsInteractive() const;
    virtual void Invalidate(HWND wnd);
    virtual void DropElement(RefPtr<UIObject> element);

    Gdiplus::Status StartupStatus() const noexcept { return m_startupStatus; }

    std::wstring tooltipText;

private:
    Gdiplus::GdiplusStartupInput m_startupInput;
    ULONG_PTR m_startupToken = 0;
    Gdiplus::Status m_startupStatus;
};

} // namespace BFC
