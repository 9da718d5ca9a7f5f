// A cycling animation cut from one bitmap of equal frames side by side.
#pragma once

#include "wnd/ImageList.h"

namespace OBControls {

class MultiFrameImage {
public:
    bool Create(UINT bitmapId, int frameWidth, COLORREF transparent);
    // Steps to the next frame, back to the first after the last; the new index.
    int NextFrame();
    SIZE GetSize() const { return m_images.GetImageSize(); }
    bool Draw(HDC dc, int x, int y) const;

    int GetFrameCount() const { return m_frameCount; }
    int GetCurrentFrame() const { return m_current; }

private:
    ZEP_Wnd::ImageList m_images;
    int m_frameCount = 0;
    int m_current = 0;
};

}  // namespace OBControls
