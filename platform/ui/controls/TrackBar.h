// The "msctls_trackbar32" class: a horizontal (or vertical) slider with a
// range, a position, tick marks, line and page steps, reporting every move
// to its parent with the scroll codes in WM_HSCROLL (WM_VSCROLL when vertical).
#pragma once

#include <vector>

#include "platform/ui/controls/Control.h"

namespace ob::ui {

class TrackBar : public Control {
public:
    explicit TrackBar(HWND hwnd);
    ~TrackBar() override;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC hdc, const RECT& client) override;
    bool Vertical() const { return (Style() & TBS_VERT) != 0; }
    // Geometry along the slider's axis: where positions min and max sit.
    int ThumbBreadth() const;  // across the axis... (length of the thumb along it)
    void Travel(int& from, int& to) const;
    int PixelOf(int pos) const;
    int PosAt(int pixel) const;
    RECT ThumbRect() const;
    RECT ChannelRect() const;
    void SetPos(int pos, bool redraw);
    void Step(WORD code);  // moves by a line/page/end and notifies
    void Send(WORD code, int pos = 0);
    std::vector<int> Ticks() const;

    // The messages, each decoded by OnMessage.
    void SetRange(int low, int high, bool redraw);
    void SetTickFrequency(int frequency);
    BOOL AddTick(int pos);  // FALSE outside the range
    void ClearTicks(bool redraw);
    int SetPageSize(int size);  // the size before
    int SetLineSize(int size);  // the size before
    void OnLButtonDown(POINT pt);
    void OnMouseMove(POINT pt);
    void OnTimer(UINT_PTR id);
    void EndDrag(bool release);  // pen up (release the capture) or capture lost
    void OnKeyDown(WPARAM key);
    void OnKeyUp();

    int m_min = 0, m_max = 100, m_pos = 0;
    int m_line = 1, m_page = 20;
    bool m_pageSet = false;
    int m_tickFreq = 1;
    std::vector<int> m_ticks;  // explicit ticks from TBM_SETTIC
    enum class Drag { None, Thumb, PageUp, PageDown } m_drag = Drag::None;
    int m_grabOffset = 0;
    POINT m_pen{0, 0};
    bool m_moved = false;  // a key moved the thumb; TB_ENDTRACK follows on key up
};

}  // namespace ob::ui
