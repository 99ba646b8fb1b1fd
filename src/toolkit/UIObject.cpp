#include "toolkit/UIObject.h"
#include <algorithm>

namespace BFC {

UIObject::UIObject() : m_startupInput(nullptr, FALSE, FALSE) {
    m_startupStatus = Gdiplus::GdiplusStartup(&m_startupToken, &m_startupInput, nullptr);
}

UIObject::~UIObject() {
    if (m_startupStatus == Gdiplus::Ok)
        Gdiplus::GdiplusShutdown(m_startupToken);
}

int UIObject::HitTest(int, int, bool) { return StateNormal; }

void UIObject::SetRect(const RECT&) {}

RefPtr<Callback> UIObject::GetCallback() const { return {}; }

bool UIObject::IsTextElement() const { return false; }

void UIObject::SetCenterY(int) {}

void UIObject::SetLeft(int) {}

void UIObject::GetContent(std::wstring&, HICON&, UINT&, std::wstring&) const {}

int UIObject::PassValue(int value) { return value; }

void UIObject::GetTooltipText(std::wstring& out) const {
    if (!tooltipText.empty()) {
        out = tooltipText;
    } else {
        HICON icon = nullptr;
        UINT resourceId = 0;
        std::wstring resourceName;
        GetContent(out, icon, resourceId, resourceName);
        // A "¤" title keeps its text as written; a plain caption loses its ellipsis.
        if (out.empty() || out.front() != L'\u00A4')
            while (!out.empty() && out.back() == L'.')
                out.pop_back();
    }
    out.erase(std::remove(out.begin(), out.end(), L'&'), out.end());
}

bool UIObject::ActsOnPress() const { return false; }

bool UIObject::IsInteractive() const { return true; }

void UIObject::Invalidate(HWND wnd) {
    RECT rect{};
    GetRect(rect);
    ::InvalidateRect(wnd, &rect, TRUE);
}

void UIObject::DropElement(RefPtr<UIObject>) {}

} // namespace BFC
