// A push button drawn from a bitmap of four frames side by side (normal,
// pressed, focused, disabled; magenta is transparent). Holding the pen on it
// for a moment shows a tip naming what it does.
#pragma once

#include <string>

#include "platform/ui/Controls.h"
#include "wnd/Paint.h"
#include "wnd/ToolTip.h"
#include "wnd/Window.h"

class ImageButton : public ZEP_Wnd::Window {
public:
    static constexpr DWORD kStyle = 0x1000400B;  // visible, notify, owner-drawn
    static constexpr UINT_PTR kTipTimerId = 3000;
    static constexpr UINT kTipDelayMs = 400;
    static constexpr int kFrameCount = 4;
    static constexpr COLORREF kTransparentColour = RGB(255, 0, 255);

    ImageButton() = default;
    ~ImageButton() override;

    // A child button of `parent` showing bitmap resource `bitmapId`. An
    // empty rectangle takes the size of one frame at its top-left corner.
    bool Create(HWND parent, const RECT& rect, UINT id, UINT bitmapId);
    // The tip window (not owned) and its text; a null text clears the text.
    void SetToolTip(ZEP_Wnd::ToolTip* tip, const wchar_t* text);
    // The size of one frame.
    SIZE GetSize() const { return SIZE{m_frameWidth, m_frameHeight}; }
    const std::wstring& GetToolTipText() const { return m_tipText; }

    // Draws itself when its parent asks; a pen resting on it shows the tip.
    // The pen's messages go on to the button itself.
    bool OnReflectedDrawItem(const DRAWITEMSTRUCT& item) override;
    bool OnLButtonDown(POINT at, UINT flags) override;
    bool OnLButtonUp(POINT at, UINT flags) override;
    bool OnTimer(UINT_PTR id) override;
    void OnDestroy() override;

    // Which frame an owner-draw state shows.
    static int FrameForState(UINT itemState);

private:
    void DrawItem(const DRAWITEMSTRUCT& item);
    void StopTipTimer();

    ZEP_Wnd::OwnedBitmap m_bitmap;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    ZEP_Wnd::ToolTip* m_tip = nullptr;
    std::wstring m_tipText;
    UINT_PTR m_tipTimer = 0;
};
