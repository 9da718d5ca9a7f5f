// The owner of a platform image list.
#pragma once

#include "platform/ui/Windows.h"

namespace ZEP_Wnd {

class ImageList {
public:
    ImageList() = default;
    virtual ~ImageList();
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;

    // Cuts a bitmap resource into pictures `width` pixels wide; `mask` is the transparent colour.
    // With `scale` above 1 every pixel becomes a square of scale x scale pixels, so small
    // pictures keep their crisp edges on a dense screen.
    bool Load(UINT bitmapId, int width, int grow, COLORREF mask, int scale = 1);
    // The same from a bitmap the caller keeps.
    bool LoadFromBitmap(HBITMAP bitmap, int width, int grow, COLORREF mask);
    SIZE GetImageSize() const;
    int GetImageCount() const;
    bool Draw(HDC dc, int index, int x, int y, UINT style = ILD_TRANSPARENT) const;
    HIMAGELIST GetHandle() const { return m_list; }
    // Gives up ownership (a control that destroys its lists takes it).
    HIMAGELIST Detach();
    void Destroy();

private:
    HIMAGELIST m_list = nullptr;
};

}  // namespace ZEP_Wnd
