#pragma once
// The file-type images of a list: one image per lower-cased extension, looked up once through the
// type's registration, then the file itself, then the shell's icon for an unregistered type.
#include <windows.h>
#include <string>
#include <unordered_map>
#include "icons/ImageListXP.h"

class FileTypeImages {
public:
    FileTypeImages() = default;
    FileTypeImages(const FileTypeImages&) = delete;
    FileTypeImages& operator=(const FileTypeImages&) = delete;
    ~FileTypeImages();

    // Makes the image list of `size` pictures with alpha, on no background; false when it cannot.
    [[nodiscard]] bool Create(SIZE size);
    HIMAGELIST ImageList() const noexcept { return m_imageList.GetSafeHandle(); }

    // Index in the image list of the type icon of `fileName`, or -1. Files whose extensions differ
    // only in letter case share an image, as do all files without one; a failed lookup is not
    // remembered and is asked again next time.
    int GetFileImageIndex(const wchar_t* fileName);

private:
    ImageListXP m_imageList;
    std::unordered_map<std::wstring, int> m_extToImage{17};
};
