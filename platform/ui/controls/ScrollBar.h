// Scroll bars: the "ScrollBar" control, and the bars a window gets from
// WS_VSCROLL/WS_HSCROLL in its frame. Both report the scroll codes to
// their owner in WM_VSCROLL/WM_HSCROLL and, like the real ones, never move
// by themselves: the owner sets the new position.
#pragma once

#include "platform/ui/controls/Control.h"

namespace ob::ui {

// Range, page and position, kept consistent the way SetScrollInfo does.
struct ScrollModel {
    int min = 0;
    int max = 100;
    UINT page = 0;
    int pos = 0;
    int trackPos = 0;

    int MaxPos() const;  // the last position the thumb can take
    void Set(const SCROLLINFO& info);
    void Get(SCROLLINFO& info) const;
    bool Scrollable() const {
        return max > min && static_cast<long long>(page) <= static_cast<long long>(max) - min;
    }
};

enum class ScrollPart { None, LineUp, LineDown, PageUp, PageDown, Thumb };

// The drawing and hit-testing of one bar in `rect`.
struct ScrollGeometry {
    RECT rect;
    bool vertical;
    const ScrollModel& model;
    bool tracking;  // the thumb follows trackPos while dragged

    int Length() const;
    int ArrowLength() const;
    void ThumbSpan(int& start, int& size) const;
    ScrollPart HitTest(POINT pt) const;
    int PosFromThumbStart(int start) const;
    void Draw(HDC hdc, ScrollPart pressed, bool enabled) const;
};

// Thickness of a scroll bar at the screen's density.
int ScrollBarThickness();

class ScrollBar : public Control {
public:
    explicit ScrollBar(HWND hwnd);
    ~ScrollBar() override;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC hdc, const RECT& client) override;
    bool Vertical() const { return (Style() & SBS_VERT) != 0; }
    ScrollGeometry Geometry() const;
    void Send(WORD code, int pos = 0);
    void Repeat();

    // The messages, one member each; the SBM_ ones answer as the message does.
    int SetInfo(const SCROLLINFO* info, bool redraw);
    BOOL GetInfo(SCROLLINFO* info) const;
    int SetPos(int pos, bool redraw);
    int SetRange(int min, int max, bool redraw);
    void GetRange(int* min, int* max) const;
    void OnPenDown(POINT at);
    void OnPenMove(POINT at);
    // The pen lifted (`lifted`) or the capture taken away.
    void OnRelease(bool lifted);
    void OnTimer(UINT_PTR id);
    void OnKeyDown(UINT key);

    ScrollModel m_model;
    ScrollPart m_pressed = ScrollPart::None;
    bool m_inside = false;  // the pen is still over the pressed part
    int m_grabOffset = 0;   // pen offset inside the thumb while dragging
    POINT m_lastPen{0, 0};
};

// ---- the bars in a window's frame ------------------------------------------

// Draws the window's WS_VSCROLL/WS_HSCROLL bars into its frame (WM_NCPAINT).
void PaintWindowScrollBars(HWND hwnd);
// A pen press in the frame (WM_NCLBUTTONDOWN, screen point in lParam):
// when it lands on a bar, tracks the pen until it is lifted, sending the
// scroll codes, and returns true.
bool TrackWindowScrollBar(HWND hwnd, LPARAM screenPoint);
// Forgets a destroyed window's bars. SetScrollInfo on a window that is not
// one of our controls puts a procedure in front of the window's own that
// draws and tracks its bars, and takes itself away with the window.
void ForgetWindowScrollBars(HWND hwnd);

constexpr UINT WM_NCLBUTTONDOWN_ = 0x00A1;

}  // namespace ob::ui
