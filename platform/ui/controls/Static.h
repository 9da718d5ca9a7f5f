// The "Static" class: text labels (left, centred, right, word-wrapped or
// not) and bitmaps.
#pragma once

#include "platform/ui/controls/Control.h"

namespace ob::ui {

class Static : public Control {
public:
    explicit Static(HWND hwnd) : Control(hwnd) {}
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC hdc, const RECT& client) override;
    void OnLButtonUp();  // STN_CLICKED when asked for
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    HBITMAP SetImage(HBITMAP bitmap);  // the bitmap shown before
    HBITMAP m_bitmap = nullptr;        // SS_BITMAP: not owned, as with STM_SETIMAGE
};

}  // namespace ob::ui
