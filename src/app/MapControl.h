// The world map window: paints the map image, gives it its size, follows
// the time in steps of more than five minutes, and tells its parent where
// the stylus touched the map.
#pragma once

#include <vector>

#include "app/MapImage.h"
#include "platform/ui/Controls.h"
#include "time/TimeSpan.h"
#include "wnd/Window.h"

namespace OBControls {

// The notification code of a tap on the map (WM_NOTIFY to the parent).
constexpr UINT kMapTapped = static_cast<UINT>(-2);

// Escape or Tab in the map (WM_NOTIFY to the parent), carrying the key: the
// parent decides where the keyboard goes next.
constexpr UINT kMapKeyLeave = static_cast<UINT>(-20);

struct MapKeyNotify {
    NMHDR hdr;
    UINT key;  // VK_ESCAPE or VK_TAB
};

struct MapTapNotify {
    NMHDR hdr;
    int x;  // client pixels of the tap
    int y;
    OBData::Position position;  // the place under the tap
};

class MapControl : public ZEP_Wnd::Window {
public:
    static constexpr const wchar_t* kClassName = L"Orbelline_MapControl";
    // The shadow moves only when the time has moved by more than this.
    static constexpr int kRedrawThresholdSeconds = 5 * 60;

    // Takes ownership of both bitmaps; either may be null.
    MapControl(HBITMAP day, HBITMAP night);

    bool Create(HWND parent, const RECT& rect, UINT id);

    // Each of these forwards to the image and repaints the map.
    void SetSelectedCity(const OBData::City* city, RECT* area = nullptr);
    void SetDotSize(int halfSize);
    void SetHighlightedRows(const std::vector<int>& rows);
    void SetShadow(bool on);
    void SetTwilight(bool on);
    // Also clears the highlighted rows.
    void SetCityGroup(OBData::CityGroup* group);
    // Moves the shadow when `utc` lies more than five minutes from the time
    // it shows (either way).
    void SetTime(const ZEP_Utility::DateTime& utc);

    // The keyboard's place on the map: while the map has the focus the arrows
    // move it by a step and Enter taps there.
    void SetCursor(POINT at);
    // The step of an arrow key in pixels: a 48th of the width, at least 2.
    int GetCursorStep() const;

    MapImage& GetImage() { return m_image; }
    const MapImage& GetImage() const { return m_image; }

    bool OnSize(SIZE client) override;
    bool OnPaint() override;
    bool OnEraseBackground(HDC dc) override;
    bool OnLButtonDown(POINT at, UINT flags) override;
    bool OnSetFocus(HWND previous) override;
    bool OnKillFocus(HWND next) override;
    bool OnGetDlgCode(const MSG* message, LRESULT& codes) override;
    bool OnKeyDown(UINT key, UINT flags) override;

private:
    void OnTap(int x, int y);
    // Arrows, Enter, Escape and Tab while the map has the focus.
    bool OnKey(UINT key);

    MapImage m_image;
    ZEP_Utility::TimeSpan m_redrawThreshold;
};

}  // namespace OBControls
