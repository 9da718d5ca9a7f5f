#include "platform/ui/html/HtmlControl.h"

#include <algorithm>

#include "platform/kernel/AppPaths.h"
#include "platform/kernel/ExecutablePath.h"
#include "platform/kernel/WideText.h"
#include "platform/ui/Controls.h"
#include "platform/ui/controls/MessageParams.h"
#include "platform/ui/gdi/DeviceContext.h"
#include "platform/ui/gdi/SelectGuard.h"
#include "platform/ui/html/HtmlDocument.h"

namespace ob::ui {
namespace {

struct HtmlState {
    HtmlDocument doc;
    std::wstring source;  // text added since the last clear
    int scroll = 0;
    int width = -1;  // width the page was laid out for
    bool scrollBar = false;
    enum class Drag { None, Page, Thumb } drag = Drag::None;
    int dragStartY = 0;
    int dragStartScroll = 0;
};

HtmlState* State(HWND hwnd) { return reinterpret_cast<HtmlState*>(GetWindowLongPtr(hwnd, GWLP_USERDATA)); }

int BarWidth() { return std::max(8, GetSystemMetrics(SM_CXVSCROLL)); }
int LineStep() { return 16 * GetScreenDpi() / 96; }

RECT Client(HWND hwnd) {
    RECT rc{0, 0, 0, 0};
    GetClientRect(hwnd, &rc);
    return rc;
}

// Lays the page out for the window: with a scroll bar when it is taller
// than the window, and the page width shrunk to make room for it.
void Relayout(HWND hwnd, HtmlState& s) {
    const RECT rc = Client(hwnd);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    s.scrollBar = false;
    int height = s.doc.Layout(w);
    if (height > h && w > BarWidth() * 2) {
        s.scrollBar = true;
        height = s.doc.Layout(w - BarWidth());
    }
    s.width = w;
    s.scroll = std::clamp(s.scroll, 0, std::max(0, height - h));
}

int MaxScroll(HWND hwnd, HtmlState& s) {
    const RECT rc = Client(hwnd);
    return std::max(0, s.doc.ContentHeight() - (rc.bottom - rc.top));
}

void ScrollTo(HWND hwnd, HtmlState& s, int y) {
    y = std::clamp(y, 0, MaxScroll(hwnd, s));
    if (y == s.scroll)
        return;
    s.scroll = y;
    InvalidateRect(hwnd, nullptr, FALSE);
}

// The thumb of the scroll bar, in client coordinates.
RECT Thumb(HWND hwnd, HtmlState& s) {
    const RECT rc = Client(hwnd);
    const int h = rc.bottom - rc.top;
    const int content = std::max(1, s.doc.ContentHeight());
    const int thumbH = std::max(BarWidth(), h * h / content);
    const int range = std::max(1, MaxScroll(hwnd, s));
    const int top = (h - thumbH) * s.scroll / range;
    return {rc.right - BarWidth(), top, rc.right, top + thumbH};
}

void Paint(HWND hwnd, HtmlState& s) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    if (!hdc)
        return;
    RECT rc = Client(hwnd);
    if (s.width != rc.right - rc.left)
        Relayout(hwnd, s);
    RECT page = rc;
    if (s.scrollBar)
        page.right -= BarWidth();
    FillRect(hdc, &page, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    s.doc.Draw(hdc, page, s.scroll);
    if (s.scrollBar) {
        RECT bar{page.right, rc.top, rc.right, rc.bottom};
        FillRect(hdc, &bar, GetSysColorBrush(COLOR_SCROLLBAR));
        RECT thumb = Thumb(hwnd, s);
        InflateRect(&thumb, -1, 0);
        FillRect(hdc, &thumb, GetSysColorBrush(COLOR_BTNFACE));
        HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
        {
            SelectGuard hollow(hdc, GetStockObject(HOLLOW_BRUSH)), selectPen(hdc, pen);
            Rectangle(hdc, thumb.left, thumb.top, thumb.right, thumb.bottom);
        }
        DeleteObject(pen);
    }
    EndPaint(hwnd, &ps);
}

void SetPage(HWND hwnd, HtmlState& s, const std::wstring& html) {
    s.doc.SetHtml(html);
    s.scroll = 0;
    s.width = -1;
    Relayout(hwnd, s);
    InvalidateRect(hwnd, nullptr, TRUE);
}

// How far a page step scrolls: the window's height less a line, so that a
// line of the last page stays in view.
int PageStep(HWND hwnd) {
    const RECT rc = Client(hwnd);
    return std::max(LineStep(), static_cast<int>(rc.bottom - rc.top) - LineStep());
}

void Create(HWND hwnd) {
    auto* state = new HtmlState;
    state->doc.SetBaseFolder(ob::kernel::ToUtf8(ob::kernel::GetAppPaths().contentFolder));
    SetWindowLongPtr(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
}

void Destroy(HWND hwnd, HtmlState* s) {
    SetWindowLongPtr(hwnd, GWLP_USERDATA, 0);
    delete s;
}

void SetSource(HWND hwnd, HtmlState& s, const wchar_t* html) {
    s.source = html ? html : L"";
    SetPage(hwnd, s, s.source);
}

void AddUtf8(HtmlState& s, const char* html) {
    if (html)
        s.source += ob::kernel::FromUtf8(html);
}

void Clear(HWND hwnd, HtmlState& s) {
    s.source.clear();
    SetPage(hwnd, s, L"");
}

void OnSize(HWND hwnd, HtmlState& s) {
    Relayout(hwnd, s);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void OnVScroll(HWND hwnd, HtmlState& s, WORD code, int position) {
    switch (code) {
    case SB_LINEUP: ScrollTo(hwnd, s, s.scroll - LineStep()); break;
    case SB_LINEDOWN: ScrollTo(hwnd, s, s.scroll + LineStep()); break;
    case SB_PAGEUP: ScrollTo(hwnd, s, s.scroll - PageStep(hwnd)); break;
    case SB_PAGEDOWN: ScrollTo(hwnd, s, s.scroll + PageStep(hwnd)); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: ScrollTo(hwnd, s, position); break;
    case SB_TOP: ScrollTo(hwnd, s, 0); break;
    case SB_BOTTOM: ScrollTo(hwnd, s, MaxScroll(hwnd, s)); break;
    default: break;
    }
}

// Three lines for each notch of the wheel (120).
void OnMouseWheel(HWND hwnd, HtmlState& s, int delta) {
    ScrollTo(hwnd, s, s.scroll - delta / 120 * 3 * LineStep());
}

// False for a key the page does not scroll with.
bool OnKeyDown(HWND hwnd, HtmlState& s, WPARAM key) {
    switch (key) {
    case VK_UP: ScrollTo(hwnd, s, s.scroll - LineStep()); return true;
    case VK_DOWN: ScrollTo(hwnd, s, s.scroll + LineStep()); return true;
    case VK_PRIOR: ScrollTo(hwnd, s, s.scroll - PageStep(hwnd)); return true;
    case VK_NEXT: ScrollTo(hwnd, s, s.scroll + PageStep(hwnd)); return true;
    case VK_HOME: ScrollTo(hwnd, s, 0); return true;
    case VK_END: ScrollTo(hwnd, s, MaxScroll(hwnd, s)); return true;
    default: return false;
    }
}

void OnLButtonDown(HWND hwnd, HtmlState& s, POINT at) {
    SetFocus(hwnd);
    const RECT rc = Client(hwnd);
    if (s.scrollBar && at.x >= rc.right - BarWidth()) {
        const RECT thumb = Thumb(hwnd, s);
        if (at.y < thumb.top || at.y >= thumb.bottom) {
            ScrollTo(hwnd, s, s.scroll + (at.y < thumb.top ? -PageStep(hwnd) : PageStep(hwnd)));
            s.drag = HtmlState::Drag::None;
            return;
        }
        s.drag = HtmlState::Drag::Thumb;
    } else {
        s.drag = HtmlState::Drag::Page;  // the page follows the stylus
    }
    s.dragStartY = at.y;
    s.dragStartScroll = s.scroll;
    SetCapture(hwnd);
}

// False when nothing is being dragged.
bool OnMouseMove(HWND hwnd, HtmlState& s, POINT at) {
    if (s.drag == HtmlState::Drag::None)
        return false;
    const int dy = at.y - s.dragStartY;
    if (s.drag == HtmlState::Drag::Page) {
        ScrollTo(hwnd, s, s.dragStartScroll - dy);
    } else {
        const RECT rc = Client(hwnd);
        const RECT thumb = Thumb(hwnd, s);
        const int track = std::max(1, static_cast<int>((rc.bottom - rc.top) - (thumb.bottom - thumb.top)));
        ScrollTo(hwnd, s, s.dragStartScroll + dy * MaxScroll(hwnd, s) / track);
    }
    return true;
}

void OnLButtonUp(HtmlState& s) {
    if (s.drag != HtmlState::Drag::None) {
        s.drag = HtmlState::Drag::None;
        ReleaseCapture();
    }
}

LRESULT CALLBACK_HtmlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    HtmlState* s = State(hwnd);
    if (msg == WM_CREATE) {
        Create(hwnd);
        return 0;
    }
    if (msg == WM_NCDESTROY)
        Destroy(hwnd, s);
    if (!s || msg == WM_NCDESTROY)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    const auto* text = PointerFromParam<const wchar_t>(lParam);
    switch (msg) {
    case WM_SETTEXT: SetSource(hwnd, *s, text); return TRUE;
    case DTM_ADDTEXTW: s->source += text ? text : L""; return 0;
    case DTM_ADDTEXT: AddUtf8(*s, PointerFromParam<const char>(lParam)); return 0;
    case DTM_ENDOFSOURCE: SetPage(hwnd, *s, s->source); return 0;
    case DTM_CLEAR: Clear(hwnd, *s); return 0;
    case DTM_SETIMAGE:
    case DTM_ANCHOR:
    case DTM_ANCHORW:
    case DTM_ENABLESHRINK:
    case DTM_SCROLLINTOVIEW:
    case DTM_IMAGEFAIL:
    case DTM_ENABLECLEARTYPE:
    case DTM_SELECTALL:
    case DTM_ISSELECTION:
    case DTM_ENABLECONTEXTMENU: return 0;  // settings of the device's viewer that change nothing here
    case WM_SIZE: OnSize(hwnd, *s); return 0;
    case WM_ERASEBKGND: return 1;  // painting covers everything
    case WM_PAINT: Paint(hwnd, *s); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_VSCROLL: OnVScroll(hwnd, *s, LOWORD(wParam), static_cast<short>(HIWORD(wParam))); return 0;
    case WM_KEYDOWN:
        if (OnKeyDown(hwnd, *s, wParam))
            return 0;
        break;
    case WM_MOUSEWHEEL: OnMouseWheel(hwnd, *s, static_cast<short>(HIWORD(wParam))); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(hwnd, *s, PointFromParam(lParam)); return 0;
    case WM_MOUSEMOVE:
        if (OnMouseMove(hwnd, *s, PointFromParam(lParam)))
            return 0;
        break;
    case WM_LBUTTONUP: OnLButtonUp(*s); return 0;
    default: break;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

void SetHtmlBaseFolder(HWND control, const std::wstring& folder) {
    if (HtmlState* s = State(control))
        s->doc.SetBaseFolder(ob::kernel::ToUtf8(folder));
}

int GetHtmlScroll(HWND control) {
    HtmlState* s = State(control);
    return s ? s->scroll : 0;
}

int GetHtmlContentHeight(HWND control) {
    HtmlState* s = State(control);
    return s ? s->doc.ContentHeight() : 0;
}

}  // namespace ob::ui

BOOL InitHTMLControl(HINSTANCE instance) {
    WNDCLASS existing{};
    if (GetClassInfo(instance, WC_HTML, &existing))
        return TRUE;
    WNDCLASS wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ob::ui::CALLBACK_HtmlProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = WC_HTML;
    return RegisterClass(&wc) != 0;
}
