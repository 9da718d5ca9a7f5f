#include "wnd/FrameWindow.h"

#include "wnd/Library.h"

namespace ZEP_Wnd {

RECT DefaultWindowRect() {
    const LONG d = static_cast<LONG>(0x80000000);
    return RECT{d, d, d, d};
}

FrameWindow::FrameWindow() {
    RegisterWindowClass(kClassName, nullptr, ::LoadCursor(nullptr, IDC_ARROW),
                        static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
}

bool FrameWindow::Create(HWND parent, const RECT& rect, LPCWSTR title, DWORD style, UINT menuBarId) {
    if (!Window::Create(kClassName, title, style, 0, rect, parent, 0))
        return false;
    if (menuBarId != 0)
        m_menuBar = CreateMenuBar(menuBarId);
    const RECT d = DefaultWindowRect();
    const bool defaulted =
        rect.left == d.left && rect.top == d.top && rect.right == d.right && rect.bottom == d.bottom;
    if (m_menuBar && defaulted) {
        RECT frame = GetWindowRect();
        RECT bar{0, 0, 0, 0};
        ::GetWindowRect(m_menuBar, &bar);
        if (bar.top > frame.top && bar.top < frame.bottom)
            MoveWindow(frame.left, frame.top, frame.right - frame.left, bar.top - frame.top, false);
    }
    return true;
}

bool FrameWindow::OnCreate(CREATESTRUCT*) {
    m_activateInfo = SHACTIVATEINFO{};
    m_activateInfo.cbSize = 12;
    return true;
}

bool FrameWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_ACTIVATE:
        ::SHHandleWMActivate(m_hwnd, wParam, lParam, &m_activateInfo, 0);
        result = 0;
        return true;
    case WM_SETTINGCHANGE:
        ::SHHandleWMSettingChange(m_hwnd, wParam, lParam, &m_activateInfo);
        result = 0;
        return true;
    default: return Window::OnMessage(message, wParam, lParam, result);
    }
}

}  // namespace ZEP_Wnd
