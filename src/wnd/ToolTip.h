// The library's own tip window: a borderless pop-up beside an anchor
// rectangle that never takes activation, optionally sliding in and out and
// hiding itself after a delay.
#pragma once

#include <string>

#include "wnd/Paint.h"
#include "wnd/Window.h"

namespace ZEP_Wnd {

class ToolTip : public Window {
public:
    static constexpr const wchar_t* kClassName = L"ZEP_Wnd_ToolTip";
    enum Flags : unsigned {
        AutoHide = 0x1,
        SingleLine = 0x2,
        AlignWorkAreaRight = 0x4,
        AlwaysAbove = 0x8,
        Slide = 0x10,
        KeepAnchorRight = 0x20,
    };
    static constexpr UINT_PTR kTimerId = 1002;
    static constexpr UINT kStepMs = 50;
    static constexpr int kSteps = 10;

    ToolTip();

    bool Create(HWND parent, unsigned flags, unsigned autoHideMs = 0);
    void ShowAt(const RECT& anchor, const std::wstring& text);
    void Hide();

    // A press on the tip leaves the active window active.
    int OnMouseActivate(HWND topLevel, UINT hitTest, UINT mouseMessage) override;
    bool OnPaint() override;
    bool OnEraseBackground(HDC dc) override;
    bool OnTimer(UINT_PTR id) override;
    bool OnCreate(CREATESTRUCT* createInfo) override;
    void OnDestroy() override;

    // What the tip looks like now, for tests and painting.
    const RECT& GetPlacedRect() const { return m_placed; }
    bool IsAbove() const { return m_above; }
    bool IsAppearing() const { return m_appearing; }
    int GetStep() const { return m_step; }
    unsigned GetAutoHideDelay() const { return m_autoHideMs; }

private:
    void ApplyStep();
    void StartTimer(UINT ms);
    void StopTimer();
    void Paint(HDC dc);

    unsigned m_flags = 0;
    unsigned m_autoHideMs = 0;
    RECT m_anchor{0, 0, 0, 0};
    std::wstring m_text;
    COLORREF m_textColor;
    COLORREF m_backColor;
    int m_margin = 3;
    OwnedFont m_font;
    RECT m_placed{0, 0, 0, 0};
    bool m_above = false;
    bool m_appearing = false;
    int m_step = 0;
    bool m_timerRunning = false;
    bool m_waitingToHide = false;
};

}  // namespace ZEP_Wnd
