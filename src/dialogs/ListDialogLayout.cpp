#include "dialogs/ListDialogLayout.h"

#include <algorithm>
#include <cwctype>
#include <limits>
#include <map>
#include <vector>

#include "platform/ui/Controls.h"
#include "wnd/Paint.h"

namespace OBControls {

namespace {

struct Placed {
    HWND control;
    RECT rect;  // as the template placed it
    bool stretch = false;
    bool right = false;
    bool grows = false;
    int keep = 0;  // a growing list's least height
};

struct Design {
    int width = 0;
    int height = 0;
    std::vector<Placed> controls;
};

// Dialogs by window; one whose window is gone is forgotten at the next capture.
std::map<HWND, Design>& Designs() {
    static std::map<HWND, Design> designs;
    return designs;
}

bool HasClass(HWND control, const wchar_t* wanted) {
    wchar_t name[32] = {};
    if (::GetClassName(control, name, 32) <= 0)
        return false;
    for (int i = 0;; ++i) {
        if (std::towlower(name[i]) != std::towlower(wanted[i]))
            return false;
        if (!name[i])
            return true;
    }
}

bool IsPushButton(HWND control) {
    if (!HasClass(control, L"Button"))
        return false;
    const auto type = static_cast<DWORD>(::GetWindowLong(control, GWL_STYLE)) & 0x0F;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// A row's height (the font's while a list view is empty).
int RowHeight(HWND list) {
    if (HasClass(list, L"ListBox"))
        return std::max(1, static_cast<int>(::SendMessage(list, LB_GETITEMHEIGHT, 0, 0)));
    RECT row{};
    row.left = LVIR_BOUNDS;
    if (::SendMessage(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)) && row.bottom > row.top)
        return row.bottom - row.top;
    TEXTMETRIC metrics{};
    const ZEP_Wnd::WindowDC dc(list);
    const ZEP_Wnd::SelectGuard font(dc, reinterpret_cast<HGDIOBJ>(::SendMessage(list, WM_GETFONT, 0, 0)));
    ::GetTextMetrics(dc, &metrics);
    return std::max(1, static_cast<int>(metrics.tmHeight));
}

Design Capture(HWND dialog, const std::vector<int>& listIds) {
    Design d;
    int left = std::numeric_limits<int>::max(), right = 0, bottom = 0;
    const int border = ::GetSystemMetrics(SM_CYBORDER);
    for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        Placed p{c, ControlRectInDialog(dialog, c)};
        left = std::min<int>(left, p.rect.left);
        right = std::max<int>(right, p.rect.right);
        bottom = std::max<int>(bottom, p.rect.bottom);
        for (int id : listIds)
            if (::GetDlgItem(dialog, id) == c) {
                p.grows = true;
                p.keep = 2 * RowHeight(c) + 2 * border;
            }
        d.controls.push_back(p);
    }
    // The template's own width: its controls with the left margin on both sides.
    d.width = right + std::max(0, left == std::numeric_limits<int>::max() ? 0 : left);
    d.height = bottom + 4 * border;
    for (std::size_t i = 0; i < d.controls.size(); ++i) {
        Placed& p = d.controls[i];
        const bool button = IsPushButton(p.control);
        p.stretch = !button && 2 * (p.rect.right - p.rect.left) >= d.width;
        // A box with its label before it on its row stays beside the label
        // and grows, rather than moving off to the far edge.
        if (!p.stretch && !button && i > 0 && !HasClass(p.control, L"Static") &&
            HasClass(d.controls[i - 1].control, L"Static")) {
            const RECT& label = d.controls[i - 1].rect;
            p.stretch = label.right <= p.rect.left && label.top < p.rect.bottom && p.rect.top < label.bottom;
        }
        p.right = !p.stretch && 2 * p.rect.left >= d.width;
    }
    return d;
}

}  // namespace

void FitListsToClient(HWND dialog, const std::vector<int>& listIds, int scrolledBy, int heightGained) {
    auto& designs = Designs();
    auto it = designs.find(dialog);
    if (it == designs.end()) {
        std::erase_if(designs, [](const auto& entry) { return !::IsWindow(entry.first); });
        it = designs.emplace(dialog, Capture(dialog, listIds)).first;
    }
    const Design& d = it->second;
    RECT client{};
    ::GetClientRect(dialog, &client);
    const int dx = client.right - d.width;

    // The height: what the client has more or less than the template goes to
    // (or comes from) the growing lists, shared by what each can give.
    struct Change {
        const Placed* list;
        int by;
    };
    std::vector<Change> lists;
    int spare = 0, lowest = 0;
    for (const Placed& p : d.controls)
        if (p.grows) {
            lists.push_back({&p, 0});
            spare += std::max(0, static_cast<int>(p.rect.bottom - p.rect.top) - p.keep);
            lowest = std::max<int>(lowest, p.rect.bottom);
        }
    int dy = client.bottom + heightGained - d.height;
    int extra = 0;  // what the lists could not give, out of the gap below them
    if (!lists.empty()) {
        if (dy < 0) {
            const int give = std::min(-dy, spare);
            int given = 0;
            for (std::size_t i = 0; i < lists.size() && give > 0; ++i) {
                const Placed& p = *lists[i].list;
                const int own = std::max(0, static_cast<int>(p.rect.bottom - p.rect.top) - p.keep);
                lists[i].by = -(i + 1 == lists.size() ? give - given : give * own / std::max(1, spare));
                given -= lists[i].by;
            }
            int below = std::numeric_limits<int>::max();
            for (const Placed& p : d.controls)
                if (p.rect.top >= lowest)
                    below = std::min<int>(below, p.rect.top);
            const int gap = below == std::numeric_limits<int>::max() ? 0 : below - lowest - 1;
            extra = std::clamp(-dy - give, 0, std::max(0, gap));
        } else {
            for (std::size_t i = 0; i < lists.size(); ++i)
                lists[i].by =
                    dy / static_cast<int>(lists.size()) + (i == 0 ? dy % static_cast<int>(lists.size()) : 0);
        }
    }
    const auto shiftAt = [&lists](int top) {
        int shift = 0;
        for (const Change& c : lists)
            if (c.list->rect.bottom <= top)
                shift += c.by;
        return shift;
    };
    for (const Placed& p : d.controls) {
        RECT r = p.rect;
        if (p.stretch)
            r.right = std::max<LONG>(r.left + 8, r.right + dx);
        else if (p.right)
            ::OffsetRect(&r, std::max<LONG>(dx, -r.left), 0);
        const int shift = shiftAt(p.rect.top) - (p.rect.top >= lowest && !lists.empty() ? extra : 0);
        int height = r.bottom - r.top;
        for (const Change& c : lists)
            if (c.list == &p)
                height += c.by;
        ::SetWindowPos(p.control, nullptr, r.left, r.top + shift - scrolledBy, r.right - r.left, height,
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
