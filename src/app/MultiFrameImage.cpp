#include "app/MultiFrameImage.h"

namespace OBControls {

bool MultiFrameImage::Create(UINT bitmapId, int frameWidth, COLORREF transparent) {
    m_current = 0;
    m_frameCount = 0;
    if (!m_images.Load(bitmapId, frameWidth, 10, transparent))
        return false;
    m_frameCount = m_images.GetImageCount();
    return m_frameCount > 0;
}

int MultiFrameImage::NextFrame() {
    if (m_frameCount <= 0)
        return 0;
    if (++m_current >= m_frameCount)
        m_current = 0;
    return m_current;
}

bool MultiFrameImage::Draw(HDC dc, int x, int y) const {
    return m_images.Draw(dc, m_current, x, y, ILD_TRANSPARENT);
}

}  // namespace OBControls
