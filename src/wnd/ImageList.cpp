#include "wnd/ImageList.h"

#include "wnd/Library.h"
#include "wnd/Paint.h"

namespace ZEP_Wnd {

ImageList::~ImageList() { Destroy(); }

void ImageList::Destroy() {
    if (m_list)
        ::ImageList_Destroy(m_list);
    m_list = nullptr;
}

HIMAGELIST ImageList::Detach() {
    const HIMAGELIST list = m_list;
    m_list = nullptr;
    return list;
}

bool ImageList::Load(UINT bitmapId, int width, int grow, COLORREF mask, int scale) {
    const OwnedBitmap bitmap(::LoadBitmap(GetInstanceHandle(), MAKEINTRESOURCE(static_cast<int>(bitmapId))));
    if (!bitmap)
        return false;
    if (scale <= 1)
        return LoadFromBitmap(bitmap, width, grow, mask);
    BITMAP info{};
    if (::GetObject(bitmap, sizeof info, &info) == 0)
        return false;
    const WindowDC screen(nullptr);
    const MemoryDC source(screen), target(screen);
    const OwnedBitmap scaled(::CreateCompatibleBitmap(screen, info.bmWidth * scale, info.bmHeight * scale));
    if (!source || !target || !scaled)
        return false;
    {
        const SelectGuard from(source, bitmap), to(target, scaled);
        ::SetStretchBltMode(target, COLORONCOLOR);
        ::StretchBlt(target, 0, 0, info.bmWidth * scale, info.bmHeight * scale, source, 0, 0, info.bmWidth,
                     info.bmHeight, SRCCOPY);
    }
    return LoadFromBitmap(scaled, width * scale, grow, mask);
}

bool ImageList::LoadFromBitmap(HBITMAP bitmap, int width, int grow, COLORREF mask) {
    BITMAP info{};
    if (!bitmap || width <= 0 || ::GetObject(bitmap, sizeof info, &info) == 0 || info.bmWidth < width)
        return false;
    const HIMAGELIST list =
        ::ImageList_Create(width, info.bmHeight, ILC_COLOR32 | ILC_MASK, info.bmWidth / width, grow);
    if (!list)
        return false;
    if (::ImageList_AddMasked(list, bitmap, mask) < 0) {
        ::ImageList_Destroy(list);
        return false;
    }
    Destroy();
    m_list = list;
    return true;
}

SIZE ImageList::GetImageSize() const {
    int cx = 0, cy = 0;
    if (m_list)
        ::ImageList_GetIconSize(m_list, &cx, &cy);
    return SIZE{cx, cy};
}

int ImageList::GetImageCount() const { return m_list ? ::ImageList_GetImageCount(m_list) : 0; }

bool ImageList::Draw(HDC dc, int index, int x, int y, UINT style) const {
    return m_list && ::ImageList_Draw(m_list, index, dc, x, y, style);
}

}  // namespace ZEP_Wnd
