// A top-level window with the shell's menu bar at the bottom of the screen.
#pragma once

#include "platform/ui/Shell.h"
#include "wnd/Window.h"

namespace ZEP_Wnd {

class FrameWindow : public Window {
public:
    static constexpr const wchar_t* kClassName = L"ZEP_Wnd_FrameWindow";

    FrameWindow();

    // Creates the frame; with a menu bar id, also the menu bar, and when the
    // rectangle was left to the platform the frame ends where the bar begins.
    bool Create(HWND parent, const RECT& rect, LPCWSTR title, DWORD style, UINT menuBarId);
    HWND GetMenuBar() const { return m_menuBar; }

    bool OnCreate(CREATESTRUCT* createInfo) override;
    // Activation and setting changes go to the shell, which keeps the input
    // panel and the menu bar in step.
    bool OnActivate(const ActivateParams& activate) override;
    bool OnSettingChange(UINT flag, const wchar_t* section) override;

protected:
    HWND m_menuBar = nullptr;
    SHACTIVATEINFO m_activateInfo{};
};

// The rectangle that leaves position and size to the platform.
RECT DefaultWindowRect();

}  // namespace ZEP_Wnd
