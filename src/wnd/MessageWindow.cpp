#include "wnd/MessageWindow.h"

#include "wnd/Library.h"

namespace ZEP_Wnd {

MessageWindow::MessageWindow() {
    RegisterWindowClass(kClassName, nullptr, ::LoadCursor(nullptr, IDC_ARROW),
                        static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
}

bool MessageWindow::Create(HWND parent, LPCWSTR title) {
    return Window::Create(kClassName, title, 0, 0, RECT{0, 0, 0, 0}, parent, 0);
}

}  // namespace ZEP_Wnd
