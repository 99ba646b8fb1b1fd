#pragma once
#include "toolkit/UIObject.h"

namespace BFC {

// A clickable frame around one element (an Icon here): a soft rounded frame when hot or pressed,
// the content shifted by a pixel when pressed, greyed when the command is disabled. Its container
// tests the mouse and invokes the callback.
class Button : public UIObject {
public:
    Button(RefPtr<UIObject> content, RefPtr<Callback> callback, std::wstring text);

    void Draw(Gdiplus::Graphics& g, int x, int y, int state, int rightLimit, int extra) override;
    int HitTest(int x, int y, bool pressed) override;
    // Empty while the callback is invisible, so a hidden button takes no room.
    void GetRect(RECT& out) const override;
    void SetRect(const RECT& rect) override;
    RefPtr<Callback> GetCallback() const override;
    void SetCenterY(int y) override;
    void SetLeft(int x) override;
    // The content's description, with the button's own label when it has one.
    void GetContent(std::wstring& text, HICON& icon, UINT& resourceId, std::wstring& resourceName) const override;
    // Puts `content` where the old content was and fits the width to it; null does nothing.
    virtual void SetContent(RefPtr<UIObject> content);

private:
    bool IsHidden() const;
    bool IsOff() const;

    RefPtr<UIObject> m_content;
    RefPtr<Callback> m_callback;
    std::wstring m_text;
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
};

} // namespace BFC
