// A hidden window that only receives messages (folder changes, signals).
#pragma once

#include "wnd/Window.h"

namespace ZEP_Wnd {

class MessageWindow : public Window {
public:
    static constexpr const wchar_t* kClassName = L"ZEP_Wnd_MessageWindow";
    MessageWindow();
    bool Create(HWND parent, LPCWSTR title);
};

}  // namespace ZEP_Wnd
