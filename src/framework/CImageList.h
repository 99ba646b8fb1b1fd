#pragma once
#include <windows.h>
#include <commctrl.h>

// Owns an image list handle; the image list is destroyed with the object unless detached.
class CImageList {
public:
    CImageList() noexcept = default;
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
    virtual ~CImageList() { DeleteImageList(); }

    HIMAGELIST m_hImageList = nullptr;
    HIMAGELIST GetSafeHandle() const noexcept { return m_hImageList; }
    operator HIMAGELIST() const noexcept { return GetSafeHandle(); }

    [[nodiscard]] bool Attach(HIMAGELIST list) noexcept {
        if (m_hImageList || !list)
            return false;
        m_hImageList = list;
        return true;
    }
    HIMAGELIST Detach() noexcept {
        HIMAGELIST list = m_hImageList;
        m_hImageList = nullptr;
        return list;
    }
    bool DeleteImageList() noexcept {
        if (!m_hImageList)
            return false;
        ::ImageList_Destroy(Detach());
        return true;
    }
    int GetImageCount() const noexcept { return m_hImageList ? ::ImageList_GetImageCount(m_hImageList) : 0; }
};
