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
    void PaintCheckBox(HDC hdc, const RECT& boxRect);  // the box or radio circle and its mark
    // The focus frame around a check box's label laid out in `textRect`.
    void PaintLabelFocus(HDC hdc, const std::wstring& label, const RECT& textRect, UINT format,
                         const RECT& rc);
    void PaintGroupBox(HDC hdc, const RECT& rc);
    void PaintOwnerDraw(HDC hdc, const RECT& rc);

    DWORD Type() const;
    bool IsCheckType() const;
    void SetPushed(bool pushed);
    void SetCheck(UINT check);
    void Click();

    // The messages, each decoded by OnMessage.
    LRESULT State() const;  // BST_ flags
    void SetButtonStyle(WORD type, bool redraw);
    LRESULT DialogCode() const;
    void SinkGroupBox();
    void OnLButtonDown();
    void OnMouseMove(POINT at);
    void OnLButtonUp();
    void OnCaptureChanged(HWND taker);
    void OnKeyDown(WPARAM key);
    void OnKeyUp(WPARAM key);
    void OnSetFocus();
    void OnKillFocus();
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);

    UINT m_check = BST_UNCHECKED;
    bool m_pushed = false;    // drawn pressed (pen down inside, or space held)
    bool m_tracking = false;  // the pen went down on the button and is held
};

}  // namespace ob::ui
