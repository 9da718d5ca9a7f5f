// Tap-and-hold: the pen resting still for about half a second is a request
// for a context menu.
#include "platform/ui/Shell.h"
#include "platform/ui/win/WindowSystem.h"

#include "platform/kernel/Clock.h"

#include <cstdint>
#include <cstdlib>

using namespace ob::ui;

DWORD SHRecognizeGesture(SHRGINFO* info) {
    if (!info)
        return 0;
    HWND hwnd = info->hwndClient;
    if (!IsWindow(hwnd))
        return 0;
    WindowSystem& s = Sys();
    POINT down = info->ptDown;
    ClientToScreen(hwnd, &down);
    const int slop = Scale(5);
    const std::uint32_t delay = (info->dwFlags & SHRG_LONGDELAY) ? 1000 : 500;
    const std::uint32_t start = ob::kernel::TickCountMs();
    // Wait for the pen: lifted or moved away means no gesture, and the
    // input stays queued for the window; still there after the delay means
    // the gesture is recognised.
    for (;;) {
        if (!s.penDown && s.input.empty())
            return 0;
        bool held = false;
        while (!s.input.empty()) {
            const InputEvent& e = s.input.front();
            // Input stamped after the delay came after the gesture was made.
            // Input stamped before the question (read with the pen-down by a
            // busy program) is earlier, not ages later: the difference is
            // taken with its sign.
            if (static_cast<std::int32_t>(e.time - start) >= static_cast<std::int32_t>(delay)) {
                held = true;
                break;
            }
            if (e.kind == InputEvent::PenMove && std::abs(e.pt.x - down.x) <= slop &&
                std::abs(e.pt.y - down.y) <= slop) {
                s.cursor = e.pt;
                s.input.pop_front();  // a tremble of the pen
                continue;
            }
            if (e.kind == InputEvent::KeyDown || e.kind == InputEvent::KeyUp || e.kind == InputEvent::Char)
                break;
            return 0;
        }
        if (held)
            break;
        std::uint32_t elapsed = ob::kernel::TickCountMs() - start;
        if (elapsed >= delay)
            break;
        // Paint what is waiting so the screen is current while the pen rests.
        MSG msg;
        while (PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
            DispatchMessage(&msg);
        if (!IsWindow(hwnd))
            return 0;
        if (ob::kernel::TickCountMs() - start >= delay)
            break;
        WaitForWork(static_cast<int>(delay - (ob::kernel::TickCountMs() - start)));
        if (!IsWindow(hwnd))
            return 0;
    }
    if (info->dwFlags & SHRG_NOTIFYPARENT) {
        HWND parent = GetParent(hwnd);
        NMRGINFO nm{};
        nm.hdr.hwndFrom = hwnd;
        nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd));
        nm.hdr.code = NM_RECOGNIZEGESTURE;
        nm.ptAction = down;
        if (parent)
            SendMessage(parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
    }
    return GN_CONTEXTMENU;
}
