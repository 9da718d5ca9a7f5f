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

// The shell's handlers take the messages' parameters as they came.
bool FrameWindow::OnActivate(const ActivateParams& activate) {
    const WPARAM wParam = MAKEWPARAM(static_cast<WORD>(activate.state), activate.minimized ? 1 : 0);
    ::SHHandleWMActivate(m_hwnd, wParam, reinterpret_cast<LPARAM>(activate.other), &m_activateInfo, 0);
    return true;
}

bool FrameWindow::OnSettingChange(UINT flag, const wchar_t* section) {
    ::SHHandleWMSettingChange(m_hwnd, flag, reinterpret_cast<LPARAM>(section), &m_activateInfo);
    return true;
}

}  // namespace ZEP_Wnd
