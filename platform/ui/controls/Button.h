// The "Button" class: push, default push and owner-drawn buttons, check
// boxes, radio buttons and group boxes, told apart by the style.
#pragma once

#include "platform/ui/controls/Control.h"

namespace ob::ui {

class Button : public Control {
public:
    explicit Button(HWND hwnd);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC hdc, const RECT& client) override;
    void PaintPush(HDC hdc, const RECT& rc);
    void PaintCheck(HDC hdc, const RECT& rc);
    void PaintGroupBox(HDC hdc, const RECT& rc);
    void PaintOwnerDraw(HDC hdc, const RECT& rc);

    DWORD Type() const;
    bool IsCheckType() const;
    void SetPushed(bool pushed);
    void SetCheck(UINT check);
    void Click();

    UINT m_check = BST_UNCHECKED;
    bool m_pushed = false;    // drawn pressed (pen down inside, or space held)
    bool m_tracking = false;  // the pen went down on the button and is held
};

}  // namespace ob::ui
