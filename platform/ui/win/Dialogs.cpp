// Dialogs from templates: creation in dialog units, the dialog procedure's
// protocol, modal and modeless dialogs, and keyboard navigation.
#include "platform/ui/gdi/SelectGuard.h"
#include "platform/ui/win/GdiBridge.h"
#include "platform/ui/win/ResourceRegistry.h"
#include "platform/ui/win/UiFonts.h"
#include "platform/ui/win/WindowSystem.h"

#include <algorithm>
#include <cwchar>

namespace ob::ui {
namespace {

LRESULT DialogWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

void EnsureDialogClass() {
    WNDCLASS wc{};
    if (GetClassInfo(nullptr, WC_DIALOG, &wc))
        return;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DialogWndProc;
    wc.lpszClassName = WC_DIALOG;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(5 + 1));  // COLOR_WINDOW
    RegisterClass(&wc);
}

// Base units of a font: the average width of the alphabet and the height.
void BaseUnits(HFONT font, int& x, int& y) {
    x = Scale(6);
    y = Scale(13);
    if (!font)
        return;
    HDC dc = CreateCompatibleDC(nullptr);
    {
        SelectGuard selectFont(dc, font);
        static const wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        SIZE size{};
        TEXTMETRICW tm{};
        if (GetTextExtentPoint32(dc, kAlphabet, 52, &size) && GetTextMetrics(dc, &tm)) {
            x = (size.cx / 26 + 1) / 2;
            y = tm.tmHeight;
        }
    }
    DeleteDC(dc);
}

HFONT MakeDialogFont(const DLGTEMPLATE& t) {
    LOGFONTW lf{};
    int points = t.pointSize ? t.pointSize : 8;
    lf.lfHeight = -(points * Sys().screenDpi + 36) / 72;
    lf.lfWeight = FW_NORMAL;
    std::wstring face = t.fontFace.empty() ? L"Tahoma" : t.fontFace;
    std::wcsncpy(lf.lfFaceName, face.c_str(), 31);
    return CreateFontIndirect(&lf);
}

bool Ended(HWND dlg) {
    Window* w = FromHandle(dlg);
    return !w || w->dialogEnded;
}

HWND FirstTabStop(HWND dlg) { return GetNextDlgTabItem(dlg, nullptr, FALSE); }

bool Usable(const Window* c) { return (c->style & WS_VISIBLE) && !(c->style & WS_DISABLED); }

// Answers given straight back rather than through DWLP_MSGRESULT.
bool ReturnsDirectly(UINT message) {
    return message == WM_INITDIALOG || message == WM_CTLCOLORMSGBOX || message == WM_CTLCOLOREDIT ||
           message == WM_CTLCOLORLISTBOX || message == WM_CTLCOLORBTN || message == WM_CTLCOLORDLG ||
           message == WM_CTLCOLORSCROLLBAR || message == WM_CTLCOLORSTATIC || message == WM_COMPAREITEM ||
           message == WM_VKEYTOITEM || message == WM_CHARTOITEM || message == WM_QUERYDRAGICON;
}

LRESULT DialogWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtr(hwnd, DWLP_DLGPROC));
    if (proc) {
        SetWindowLongPtr(hwnd, DWLP_MSGRESULT, 0);
        LRESULT handled = proc(hwnd, message, wParam, lParam);
        if (handled)
            return ReturnsDirectly(message) ? handled : GetWindowLongPtr(hwnd, DWLP_MSGRESULT);
        if (!IsWindow(hwnd))
            return 0;
    }
    return DefDlgProc(hwnd, message, wParam, lParam);
}

}  // namespace

bool IsDialogWindow(const Window* w) { return w && w->isDialog; }

void ScaleDialogUnits(int baseX, int baseY, RECT& rc) {
    rc.left = rc.left * baseX / 4;
    rc.right = rc.right * baseX / 4;
    rc.top = rc.top * baseY / 8;
    rc.bottom = rc.bottom * baseY / 8;
}

}  // namespace ob::ui

using namespace ob::ui;

LRESULT DefDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FromHandle(hwnd);
    if (!w)
        return 0;
    switch (message) {
    case WM_CLOSE: {
        HWND cancel = GetDlgItem(hwnd, IDCANCEL);
        SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            HWND focus = w->lastFocus && IsChild(hwnd, w->lastFocus) ? w->lastFocus : FirstTabStop(hwnd);
            if (focus && GetFocus() != focus)
                SetFocus(focus);
            else if (!focus && !GetFocus())
                SetFocus(hwnd);
        }
        return 0;
    case WM_SETFOCUS: {
        HWND first = FirstTabStop(hwnd);
        if (first)
            SetFocus(first);
        return 0;
    }
    case DM_GETDEFID: {
        LONG_PTR id = w->longs.count(-1000) ? w->longs[-1000] : (GetDlgItem(hwnd, IDOK) ? IDOK : 0);
        return id ? MAKELPARAM(static_cast<WORD>(id), DC_HASDEFID) : 0;
    }
    case DM_SETDEFID: w->longs[-1000] = static_cast<LONG_PTR>(wParam); return TRUE;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(w->font);
    case WM_SETFONT: w->font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_NCDESTROY:
        if (w->longs.count(-1001))
            DeleteObject(reinterpret_cast<HFONT>(w->longs[-1001]));
        return DefWindowProc(hwnd, message, wParam, lParam);
    default: return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

HWND CreateDialogIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND parent, DLGPROC proc,
                               LPARAM param) {
    if (!tmpl)
        return nullptr;
    EnsureStarted();
    EnsureDialogClass();
    if (parent && !IsWindow(parent))
        return nullptr;
    // Every control class must exist before anything is made.
    for (const DLGITEMTEMPLATE& item : tmpl->items) {
        WNDCLASS wc;
        if (!GetClassInfo(instance, item.className.c_str(), &wc))
            return nullptr;
    }
    HFONT font = MakeDialogFont(*tmpl);
    int bx = 0, by = 0;
    BaseUnits(font, bx, by);
    RECT rc{tmpl->x, tmpl->y, tmpl->x + tmpl->cx, tmpl->y + tmpl->cy};
    ScaleDialogUnits(bx, by, rc);
    bool child = (tmpl->style & WS_CHILD) != 0;
    if (!child) {
        if (tmpl->style & DS_CENTER) {
            RECT work = WorkArea();
            int width = rc.right - rc.left, height = rc.bottom - rc.top;
            rc.left = work.left + (work.right - work.left - width) / 2;
            rc.top = work.top + (work.bottom - work.top - height) / 2;
            rc.right = rc.left + width;
            rc.bottom = rc.top + height;
        } else if (parent && !(tmpl->style & DS_ABSALIGN)) {
            POINT o{0, 0};
            ClientToScreen(parent, &o);
            rc.left += o.x;
            rc.right += o.x;
            rc.top += o.y;
            rc.bottom += o.y;
        }
    }
    HWND dlg =
        CreateWindowEx(tmpl->exStyle, WC_DIALOG, tmpl->title.c_str(), tmpl->style & ~WS_VISIBLE, rc.left,
                       rc.top, rc.right - rc.left, rc.bottom - rc.top, parent, nullptr, instance, nullptr);
    if (!dlg) {
        if (font)
            DeleteObject(font);
        return nullptr;
    }
    Window* w = FromHandle(dlg);
    w->isDialog = true;
    w->font = font;
    w->baseUnitX = bx;
    w->baseUnitY = by;
    if (font)
        w->longs[-1001] = reinterpret_cast<LONG_PTR>(font);  // owned: deleted with the dialog
    SetWindowLongPtr(dlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
    for (const DLGITEMTEMPLATE& item : tmpl->items) {
        RECT ir{item.x, item.y, item.x + item.cx, item.y + item.cy};
        ScaleDialogUnits(bx, by, ir);
        HWND ctl =
            CreateWindowEx(item.exStyle, item.className.c_str(), item.text.c_str(), item.style | WS_CHILD,
                           ir.left, ir.top, ir.right - ir.left, ir.bottom - ir.top, dlg,
                           reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(item.id)), instance, nullptr);
        if (!ctl) {  // a control that refused to be made fails the dialog
            DestroyWindow(dlg);
            return nullptr;
        }
        if (font)
            SendMessage(ctl, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    HWND first = FirstTabStop(dlg);
    if (SendMessage(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) && IsWindow(dlg)) {
        HWND focusTo = FirstTabStop(dlg);
        if (focusTo && (tmpl->style & WS_VISIBLE))
            SetFocus(focusTo);
        if (Window* again = FromHandle(dlg); again && focusTo)
            again->lastFocus = focusTo;
    }
    if (!IsWindow(dlg))
        return nullptr;
    if ((tmpl->style & WS_VISIBLE) && !Ended(dlg))
        ShowWindow(dlg, SW_SHOW);
    return dlg;
}

HWND CreateDialogParam(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC proc, LPARAM param) {
    const DLGTEMPLATE* t = FindDialogTemplate(templateName);
    return t ? CreateDialogIndirectParam(instance, t, parent, proc, param) : nullptr;
}

INT_PTR DialogBoxIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND parent, DLGPROC proc,
                               LPARAM param) {
    if (!tmpl || (parent && !IsWindow(parent)))
        return -1;
    // Where the keyboard was, to give it back when the dialog ends.
    const HWND focusBefore = GetFocus();
    DLGTEMPLATE hidden = *tmpl;
    hidden.style &= ~WS_VISIBLE;
    HWND dlg = CreateDialogIndirectParam(instance, &hidden, parent, proc, param);
    if (!dlg)
        return -1;
    Window* w = FromHandle(dlg);
    // The owner stays disabled while the dialog runs.
    HWND owner = w->owner ? w->owner->handle : nullptr;
    bool reenable = owner && IsWindowEnabled(owner);
    if (reenable)
        EnableWindow(owner, FALSE);
    if (!Ended(dlg)) {
        ShowWindow(dlg, SW_SHOW);
        if (Window* again = FromHandle(dlg); again && again->lastFocus && IsWindow(again->lastFocus))
            SetFocus(again->lastFocus);
    }
    MSG msg;
    bool quit = false;
    while (!Ended(dlg)) {
        if (!GetMessage(&msg, nullptr, 0, 0)) {
            quit = true;
            break;
        }
        if (!IsDialogMessage(dlg, &msg)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
    INT_PTR result = -1;
    if ((w = FromHandle(dlg)))
        result = w->dialogEnded ? w->dialogResult : IDCANCEL;
    else
        result = IDCANCEL;
    // The owner comes back before the dialog goes, so it is activated again.
    if (reenable && IsWindow(owner))
        EnableWindow(owner, TRUE);
    if (IsWindow(dlg))
        DestroyWindow(dlg);
    if (owner && IsWindow(owner) && !GetActiveWindow())
        SetActiveWindow(owner);
    if (owner && focusBefore && IsWindow(focusBefore) &&
        (focusBefore == owner || IsChild(owner, focusBefore)) && IsWindowVisible(focusBefore) &&
        IsWindowEnabled(focusBefore) && GetActiveWindow() == owner)
        SetFocus(focusBefore);
    if (quit)
        PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loop must see it too
    return result;
}

INT_PTR DialogBoxParam(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC proc, LPARAM param) {
    const DLGTEMPLATE* t = FindDialogTemplate(templateName);
    return t ? DialogBoxIndirectParam(instance, t, parent, proc, param) : -1;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    Window* w = FromHandle(dialog);
    if (!w || !w->isDialog)
        return FALSE;
    w->dialogEnded = true;
    w->dialogResult = result;
    // A modeless dialog ends by being hidden; its owner destroys it.
    ShowWindow(dialog, SW_HIDE);
    PostMessage(dialog, WM_NULL, 0, 0);  // wakes a modal loop that is waiting
    return TRUE;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    Window* d = FromHandle(dialog);
    if (!d)
        return nullptr;
    auto& kids = d->children;
    size_t n = kids.size();
    if (n == 0)
        return nullptr;
    // From the control (any control, tab stop or not) to the next usable tab
    // stop in z-order, wrapping around.
    auto it = std::find_if(kids.begin(), kids.end(), [&](Window* c) { return c->handle == control; });
    size_t start = it == kids.end() ? (previous ? 0 : n - 1) : static_cast<size_t>(it - kids.begin());
    for (size_t step = 1; step <= n; ++step) {
        size_t k = previous ? (start + n - step) % n : (start + step) % n;
        if (Usable(kids[k]) && (kids[k]->style & WS_TABSTOP))
            return kids[k]->handle;
    }
    return nullptr;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
    Window* d = FromHandle(dialog);
    Window* c = FromHandle(control);
    if (!d || !c || c->parent != d)
        return nullptr;
    auto& kids = d->children;
    auto pos = std::find(kids.begin(), kids.end(), c);
    // The group runs from the nearest WS_GROUP at or before the control to
    // the next WS_GROUP.
    auto start = pos;
    while (start != kids.begin() && !((*start)->style & WS_GROUP))
        --start;
    auto end = pos + 1;
    while (end != kids.end() && !((*end)->style & WS_GROUP))
        ++end;
    std::vector<Window*> group(start, end);
    size_t i = static_cast<size_t>(std::find(group.begin(), group.end(), c) - group.begin());
    for (size_t step = 1; step < group.size(); ++step) {
        size_t k = previous ? (i + group.size() - step) % group.size() : (i + step) % group.size();
        if (Usable(group[k]))
            return group[k]->handle;
    }
    return control;
}

namespace {

// Each navigation key answers whether the dialog took it; false leaves the
// key to the control that has the focus.

bool TabKey(HWND dialog, HWND focus, LRESULT code) {
    if (code & (DLGC_WANTTAB | DLGC_WANTALLKEYS))
        return false;
    if (HWND next = GetNextDlgTabItem(dialog, focus, (GetKeyState(VK_SHIFT) & 0x8000) != 0)) {
        SetFocus(next);
        if (SendMessage(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
            SendMessage(next, 0x00B1 /* EM_SETSEL */, 0, -1);
    }
    return true;
}

bool ArrowKey(HWND dialog, HWND focus, LRESULT code, UINT vk) {
    if (code & (DLGC_WANTARROWS | DLGC_WANTALLKEYS))
        return false;
    if (HWND next = GetNextDlgGroupItem(dialog, focus, vk == VK_LEFT || vk == VK_UP)) {
        if (next != focus) {
            SetFocus(next);
            if (SendMessage(next, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)
                SendMessage(next, 0x00F5 /* BM_CLICK */, 0, 0);
        }
    }
    return true;
}

// Enter presses the focused push button, else the default one (IDOK when
// the dialog names none); a disabled one takes the key and does nothing.
bool ReturnKey(HWND dialog, HWND focus, LRESULT code) {
    if (code & DLGC_WANTALLKEYS)
        return false;
    int id = IDOK;
    HWND ctl = nullptr;
    if (code & DLGC_DEFPUSHBUTTON || code & DLGC_UNDEFPUSHBUTTON) {
        ctl = focus;
        id = GetDlgCtrlID(focus);
    } else {
        LRESULT def = SendMessage(dialog, DM_GETDEFID, 0, 0);
        if (HIWORD(static_cast<std::uintptr_t>(def)) == DC_HASDEFID)
            id = LOWORD(static_cast<std::uintptr_t>(def));
        ctl = GetDlgItem(dialog, id);
    }
    if (ctl && !IsWindowEnabled(ctl))
        return true;
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), reinterpret_cast<LPARAM>(ctl));
    return true;
}

bool EscapeKey(HWND dialog, LRESULT code) {
    if (code & DLGC_WANTALLKEYS)
        return false;
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    if (cancel && !IsWindowEnabled(cancel))
        return true;
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), reinterpret_cast<LPARAM>(cancel));
    return true;
}

bool NavigationKey(HWND dialog, HWND focus, LRESULT code, UINT vk) {
    switch (vk) {
    case VK_TAB: return TabKey(dialog, focus, code);
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: return ArrowKey(dialog, focus, code, vk);
    case VK_RETURN: return ReturnKey(dialog, focus, code);
    case VK_ESCAPE: return EscapeKey(dialog, code);
    default: return false;
    }
}

// The character of a navigation key the dialog took is swallowed.
bool SwallowedCharacter(UINT ch, LRESULT code) {
    return (ch == L'\t' && !(code & (DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTCHARS))) ||
           ((ch == L'\r' || ch == 0x1B) && !(code & (DLGC_WANTALLKEYS | DLGC_WANTCHARS)));
}

}  // namespace

BOOL IsDialogMessage(HWND dialog, MSG* msg) {
    Window* d = FromHandle(dialog);
    if (!d || !msg || !d->isDialog)
        return FALSE;
    if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd))
        return FALSE;
    if (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) {
        HWND focus = GetFocus();
        if (!focus || (focus != dialog && !IsChild(dialog, focus)))
            focus = msg->hwnd;
        LRESULT code = SendMessage(focus, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
        if (!IsWindow(dialog))
            return TRUE;
        UINT vk = static_cast<UINT>(msg->wParam);
        if (msg->message == WM_KEYDOWN ? NavigationKey(dialog, focus, code, vk)
                                       : SwallowedCharacter(vk, code))
            return TRUE;
    }
    TranslateMessage(msg);
    DispatchMessage(msg);
    return TRUE;
}

BOOL MapDialogRect(HWND dialog, LPRECT rect) {
    Window* d = FromHandle(dialog);
    if (!d || !rect || !d->isDialog)
        return FALSE;
    ScaleDialogUnits(d->baseUnitX, d->baseUnitY, *rect);
    return TRUE;
}

LONG GetDialogBaseUnits() {
    // The base units of the default dialog font, 8-point Tahoma.
    int x = 0, y = 0;
    BaseUnits(UiFont(8, false), x, y);
    return static_cast<LONG>(MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}
