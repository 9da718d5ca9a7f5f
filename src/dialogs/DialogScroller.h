// Scrolls a dialog whose controls do not fit its client area (the Options
// page on a landscape screen): the dialog's own vertical bar moves every
// control, and a control that takes the focus is brought into view.
// ScrollingDialog hands it the dialog's messages.
#pragma once

#include "platform/ui/Windows.h"

namespace OBControls {

class DialogScroller {
public:
    // Measures the controls against the client area and shows the bar when
    // they do not fit (hides it when they do). Call after the controls are
    // laid out and whenever the dialog's size changes.
    void Update(HWND dialog);
    // WM_VSCROLL from the dialog's own bar.
    void OnScroll(int code);
    // Scrolls just far enough to show `control` whole (as much of it as fits).
    void EnsureVisible(HWND control);
    // The arrow, page, Home and End keys scroll as the bar would; false for
    // any other key.
    bool OnKey(UINT key);

    int GetPosition() const { return m_position; }

private:
    void ScrollTo(int position);

    HWND m_dialog = nullptr;
    int m_position = 0;       // how far the controls are moved up, in pixels
    int m_contentHeight = 0;  // the controls' extent at position 0, with a margin
    bool m_updating = false;  // showing the bar resizes the client, which calls Update again
};

}  // namespace OBControls
