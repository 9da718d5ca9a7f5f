#include "app/MapControl.h"

#include <algorithm>

#include "data/City.h"

#include "wnd/Library.h"
#include "wnd/Paint.h"

namespace OBControls {

MapControl::MapControl(HBITMAP day, HBITMAP night)
    : m_image(day, night), m_redrawThreshold(0, 0, 0, kRedrawThresholdSeconds) {
    ZEP_Wnd::RegisterWindowClass(kClassName, nullptr, ::LoadCursor(nullptr, IDC_ARROW),
                                 static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
}

bool MapControl::Create(HWND parent, const RECT& rect, UINT id) {
    return CreateChild(kClassName, L"", WS_CHILD | WS_VISIBLE, 0, rect, parent, id);
}

void MapControl::SetSelectedCity(const OBData::City* city, RECT* area) {
    m_image.SetSelectedCity(city, area);
    Invalidate(false);
}

void MapControl::SetDotSize(int halfSize) {
    m_image.SetDotSizes(halfSize, halfSize);
    Invalidate(false);
}

void MapControl::SetHighlightedRows(const std::vector<int>& rows) {
    if (rows == m_image.GetHighlightedRows())
        return;
    m_image.SetHighlightedRows(rows);
    Invalidate(false);
}

void MapControl::SetShadow(bool on) {
    // Asked again at every minute: only a real switch repaints.
    if (m_image.SetShadow(on))
        Invalidate(false);
}

void MapControl::SetTwilight(bool on) {
    if (m_image.SetTwilight(on))
        Invalidate(false);
}

void MapControl::SetCityGroup(OBData::CityGroup* group) {
    m_image.SetCityGroup(group);
    m_image.SetHighlightedRows({});
    Invalidate(false);
}

void MapControl::SetTime(const ZEP_Utility::DateTime& utc) {
    const ZEP_Utility::DateTime& shown = m_image.GetTime();
    const ZEP_Utility::TimeSpan moved = utc > shown ? utc - shown : shown - utc;
    if (!(moved > m_redrawThreshold))
        return;
    m_image.SetTime(utc);
    Invalidate(false);
}

void MapControl::OnTap(int x, int y) {
    MapTapNotify tap{};
    tap.hdr.hwndFrom = m_hwnd;
    tap.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(m_hwnd));
    tap.hdr.code = kMapTapped;
    tap.x = x;
    tap.y = y;
    tap.position = m_image.PixelToPosition(x, y);
    ::SendMessage(GetParentHandle(), WM_NOTIFY, tap.hdr.idFrom, reinterpret_cast<LPARAM>(&tap));
}

void MapControl::SetCursor(POINT at) {
    const RECT& map = m_image.GetRect();
    at.x = std::clamp<LONG>(at.x, 0, std::max<LONG>(map.right - map.left - 1, 0));
    at.y = std::clamp<LONG>(at.y, 0, std::max<LONG>(map.bottom - map.top - 1, 0));
    m_image.SetCursor(at);
    Invalidate(false);
}

int MapControl::GetCursorStep() const {
    const RECT& map = m_image.GetRect();
    return std::max<int>((map.right - map.left) / 48, 2);
}

bool MapControl::OnKey(UINT key) {
    const std::optional<POINT> cursor = m_image.GetCursor();
    if (!cursor)
        return false;
    const int step = GetCursorStep();
    switch (key) {
    case VK_LEFT: SetCursor(POINT{cursor->x - step, cursor->y}); return true;
    case VK_RIGHT: SetCursor(POINT{cursor->x + step, cursor->y}); return true;
    case VK_UP: SetCursor(POINT{cursor->x, cursor->y - step}); return true;
    case VK_DOWN: SetCursor(POINT{cursor->x, cursor->y + step}); return true;
    case VK_RETURN: OnTap(cursor->x, cursor->y); return true;
    case VK_ESCAPE:
    case VK_TAB: {
        MapKeyNotify leave{};
        leave.hdr.hwndFrom = m_hwnd;
        leave.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(m_hwnd));
        leave.hdr.code = kMapKeyLeave;
        leave.key = key;
        ::SendMessage(GetParentHandle(), WM_NOTIFY, leave.hdr.idFrom, reinterpret_cast<LPARAM>(&leave));
        return true;
    }
    default: return false;
    }
}

bool MapControl::OnSetFocus(HWND) {
    // The keyboard starts on the city that carries the cross, else mid-map.
    const RECT& map = m_image.GetRect();
    if (const OBData::City* city = m_image.GetSelectedCity())
        SetCursor(m_image.PositionToPixel(city->GetPosition()));
    else
        SetCursor(POINT{(map.right - map.left) / 2, (map.bottom - map.top) / 2});
    return true;
}

bool MapControl::OnKillFocus(HWND) {
    m_image.SetCursor(std::nullopt);
    Invalidate(false);
    return true;
}

bool MapControl::OnGetDlgCode(const MSG*, LRESULT& codes) {
    codes = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS;
    return true;
}

bool MapControl::OnKeyDown(UINT key, UINT) { return OnKey(key); }

bool MapControl::OnSize(SIZE) {
    const RECT client = GetClientRect();
    const RECT map{0, 0, client.right - client.left, client.bottom - client.top};
    const RECT& old = m_image.GetRect();
    // Only a new size scales the pictures again.
    if (map.right != old.right - old.left || map.bottom != old.bottom - old.top || old.left || old.top)
        m_image.SetRect(map);
    return true;
}

bool MapControl::OnPaint() {
    ZEP_Wnd::PaintDC paint(m_hwnd);
    if (paint.IsValid())
        m_image.Draw(paint, 0, 0);
    return true;
}

// The paint covers everything.
bool MapControl::OnEraseBackground(HDC) { return true; }

bool MapControl::OnLButtonDown(POINT at, UINT) {
    OnTap(at.x, at.y);
    return true;
}

}  // namespace OBControls
