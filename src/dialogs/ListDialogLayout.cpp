#include "dialogs/ListDialogLayout.h"

#include <algorithm>
#include <vector>

#include "platform/ui/Controls.h"
#include "wnd/Paint.h"

namespace OBControls {

void FitListToClient(HWND dialog, int listId) {
    const HWND list = ::GetDlgItem(dialog, listId);
    if (!list)
        return;
    std::vector<HWND> controls;
    int bottom = 0;
    for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        controls.push_back(c);
        bottom = std::max<int>(bottom, ControlRectInDialog(dialog, c).bottom);
    }
    RECT client{};
    ::GetClientRect(dialog, &client);
    const int border = ::GetSystemMetrics(SM_CYBORDER);
    const int overflow = bottom + 4 * border - client.bottom;
    if (overflow <= 0)
        return;
    const RECT listRect = ControlRectInDialog(dialog, list);
    // A row's height, or the font's when the list is still empty.
    RECT row{};
    row.left = LVIR_BOUNDS;
    int rowHeight = 0;
    if (::SendMessage(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)))
        rowHeight = row.bottom - row.top;
    if (rowHeight <= 0) {
        TEXTMETRIC metrics{};
        const ZEP_Wnd::WindowDC dc(list);
        const ZEP_Wnd::SelectGuard font(dc, reinterpret_cast<HGDIOBJ>(::SendMessage(list, WM_GETFONT, 0, 0)));
        ::GetTextMetrics(dc, &metrics);
        rowHeight = metrics.tmHeight;
    }
    const int keep = 3 * rowHeight + 2 * border;
    const int by = std::min(overflow, std::max(0, static_cast<int>(listRect.bottom - listRect.top) - keep));
    if (by <= 0)
        return;
    for (HWND c : controls) {
        const RECT r = ControlRectInDialog(dialog, c);
        if (c == list)
            ::SetWindowPos(c, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top - by,
                           SWP_NOZORDER | SWP_NOACTIVATE);
        else if (r.top >= listRect.bottom)
            ::SetWindowPos(c, nullptr, r.left, r.top - by, r.right - r.left, r.bottom - r.top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

RECT ControlRectInDialog(HWND dialog, HWND control) {
    RECT r{};
    ::GetWindowRect(control, &r);
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    ::ScreenToClient(dialog, &corners[0]);
    ::ScreenToClient(dialog, &corners[1]);
    return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

}  // namespace OBControls
