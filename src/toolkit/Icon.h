#pragma once
#include <optional>
#include "toolkit/UIObject.h"

namespace BFC {

// A picture made once from an icon handle, drawn as it is or, for a disabled container, grey
// and half transparent. The handle stays its owner's.
class Icon : public UIObject {
public:
    // `width` stands until the icon proves to have 32-bit pixels; then its real size wins.
    Icon(HICON icon, int width);
    ~Icon() override;

    void Draw(Gdiplus::Graphics& g, int x, int y, int state, int rightLimit, int extra) override;
    void GetRect(RECT& out) const override;
    void SetCenterY(int y) override;
    void SetLeft(int x) override;
    void GetContent(std::wstring& text, HICON& icon, UINT& resourceId, std::wstring& resourceName) const override;
    bool IsInteractive() const override;

private:
    void TakeSizeAndAlpha();
    Gdiplus::Bitmap* GreyImage();

    int m_left = 0;
    int m_top = 0;
    int m_width;
    int m_height = 16;
    Gdiplus::Bitmap m_image;
    std::optional<Gdiplus::Bitmap> m_greyImage;
    HICON m_icon;
};

} // namespace BFC
