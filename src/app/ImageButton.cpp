#include "app/ImageButton.h"

#include "platform/ui/Controls.h"
#include <utility>

#include "wnd/Library.h"

ImageButton::~ImageButton() = default;

bool ImageButton::Create(HWND parent, const RECT& rect, UINT id, UINT bitmapId) {
    if (m_hwnd)
        return false;
    ZEP_Wnd::OwnedBitmap bitmap(
        ::LoadBitmap(ZEP_Wnd::GetInstanceHandle(), MAKEINTRESOURCE(static_cast<int>(bitmapId))));
    BITMAP info{};
    if (!bitmap || ::GetObject(bitmap, sizeof info, &info) == 0 || info.bmWidth < kFrameCount)
        return false;
    m_bitmap = std::move(bitmap);
    m_frameWidth = info.bmWidth / kFrameCount;
    m_frameHeight = info.bmHeight;

    RECT place = rect;
    if (place.right <= place.left || place.bottom <= place.top) {
        place.right = place.left + m_frameWidth;
        place.bottom = place.top + m_frameHeight;
    }
    return CreateChild(L"BUTTON", L"", kStyle, 0, place, parent, id);
}

void ImageButton::SetToolTip(ZEP_Wnd::ToolTip* tip, const wchar_t* text) {
    m_tip = tip;
    m_tipText = text ? text : L"";
}

int ImageButton::FrameForState(UINT itemState) {
    if (itemState & (ODS_DISABLED | ODS_GRAYED))
        return 3;
    if (itemState & ODS_SELECTED)
        return 1;
    if (itemState & ODS_FOCUS)
        return 2;
    return 0;
}

void ImageButton::DrawItem(const DRAWITEMSTRUCT& item) {
    if (!m_bitmap || !item.hDC)
        return;
    const ZEP_Wnd::MemoryDC surface(item.hDC);
    if (!surface)
        return;
    ZEP_Wnd::SelectGuard frames(surface, m_bitmap);
    const int frame = FrameForState(item.itemState);
    // Magenta pixels of the frame let the parent's background show (the
    // colour it answers to WM_CTLCOLORBTN), so round buttons sit cleanly
    // on a coloured bar.
    const auto back = reinterpret_cast<HBRUSH>(::SendMessage(GetParentHandle(), WM_CTLCOLORBTN,
                                                             reinterpret_cast<WPARAM>(item.hDC),
                                                             reinterpret_cast<LPARAM>(m_hwnd)));
    ::FillRect(item.hDC, &item.rcItem, back ? back : ::GetSysColorBrush(COLOR_BTNFACE));
    ::TransparentBlt(item.hDC, 0, 0, m_frameWidth, m_frameHeight, surface, frame * m_frameWidth, 0,
                     m_frameWidth, m_frameHeight, kTransparentColour);
}

void ImageButton::StopTipTimer() {
    if (m_tipTimer && m_hwnd)
        ::KillTimer(m_hwnd, m_tipTimer);
    m_tipTimer = 0;
}

bool ImageButton::OnReflectedDrawItem(const DRAWITEMSTRUCT& item) {
    DrawItem(item);
    return true;
}

bool ImageButton::OnLButtonDown(POINT, UINT) {
    StopTipTimer();
    m_tipTimer = ::SetTimer(m_hwnd, kTipTimerId, kTipDelayMs, nullptr);
    return false;  // the button still presses
}

bool ImageButton::OnTimer(UINT_PTR id) {
    if (id != kTipTimerId)
        return false;
    // The pen has rested on the button: say what it does.
    StopTipTimer();
    if (m_tip && m_tip->GetHandle() && !m_tipText.empty())
        m_tip->ShowAt(GetWindowRect(), m_tipText);
    return true;
}

bool ImageButton::OnLButtonUp(POINT, UINT) {
    StopTipTimer();
    if (m_tip && m_tip->GetHandle())
        m_tip->Hide();
    return false;  // and the button clicks
}

void ImageButton::OnDestroy() {
    StopTipTimer();
    ZEP_Wnd::Window::OnDestroy();
}
