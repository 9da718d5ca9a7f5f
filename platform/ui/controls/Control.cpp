#include "platform/ui/controls/Control.h"

#include <algorithm>
#include <cwctype>
#include <unordered_map>
#include <vector>

#include "platform/ui/Gdi.h"
#include "platform/ui/controls/ScrollBar.h"
#include "platform/ui/gdi/DeviceContext.h"
#include "platform/ui/gdi/SelectGuard.h"

namespace ob::ui {

namespace {

std::unordered_map<HWND, std::unique_ptr<Control>>& Registry() {
    static std::unordered_map<HWND, std::unique_ptr<Control>> registry;
    return registry;
}

// How many handlers of each object are running now.
std::unordered_map<Control*, int>& Running() {
    static std::unordered_map<Control*, int> running;
    return running;
}

// Objects whose window went away while one of their handlers ran.
std::vector<std::unique_ptr<Control>>& Dying() {
    static std::vector<std::unique_ptr<Control>> dying;
    return dying;
}

void Retire(std::unique_ptr<Control> control) {
    if (control && Running().count(control.get()))
        Dying().push_back(std::move(control));
}

}  // namespace

Control* FindControl(HWND hwnd) {
    auto it = Registry().find(hwnd);
    return it == Registry().end() ? nullptr : it->second.get();
}

void AdoptControl(HWND hwnd, std::unique_ptr<Control> control) {
    std::unique_ptr<Control>& slot = Registry()[hwnd];
    Retire(std::move(slot));
    slot = std::move(control);
}

LRESULT DispatchToControl(Control* control, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    ++Running()[control];
    LRESULT result = control->OnMessage(msg, wParam, lParam);
    int left = --Running()[control];
    if (left == 0)
        Running().erase(control);
    if (msg == WM_NCDESTROY) {
        auto it = Registry().find(hwnd);
        if (it != Registry().end() && it->second.get() == control) {
            std::unique_ptr<Control> gone = std::move(it->second);
            Registry().erase(it);
            Retire(std::move(gone));  // deleted here unless an outer handler still runs
        }
    }
    if (left == 0) {
        auto& dying = Dying();
        for (auto it = dying.begin(); it != dying.end(); ++it)
            if (it->get() == control) {
                dying.erase(it);
                break;
            }
    }
    return result;
}

Control::Control(HWND hwnd) : m_hwnd(hwnd) { ForgetWindowScrollBars(hwnd); }

LRESULT Control::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(m_hwnd, msg, wParam, lParam);
}

LRESULT Control::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SETFONT:
        SetFont(reinterpret_cast<HFONT>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)) != 0);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(m_font);
    case WM_ERASEBKGND: return 1;  // Paint covers the whole client area.
    case WM_PAINT: OnPaint(); return 0;
    case WM_ENABLE: OnEnable(); return 0;
    case WM_NCPAINT:
        Default(msg, wParam, lParam);
        PaintWindowScrollBars(m_hwnd);
        return 0;
    case WM_NCLBUTTONDOWN_: return TrackWindowScrollBar(m_hwnd, lParam) ? 0 : Default(msg, wParam, lParam);
    case WM_NCDESTROY: ForgetWindowScrollBars(m_hwnd); return Default(msg, wParam, lParam);
    default: return Default(msg, wParam, lParam);
    }
}

void Control::SetFont(HFONT font, bool redraw) {
    m_font = font;
    if (redraw)
        Redraw();
}

void Control::OnPaint() {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(m_hwnd, &ps);
    if (hdc) {
        Paint(hdc, Client());
        EndPaint(m_hwnd, &ps);
    }
}

void Control::OnEnable() {
    Redraw();
    if (Style() & (WS_VSCROLL | WS_HSCROLL))
        PaintWindowScrollBars(m_hwnd);
}

DWORD Control::Style() const { return static_cast<DWORD>(GetWindowLong(m_hwnd, GWL_STYLE)); }
int Control::Id() const { return GetDlgCtrlID(m_hwnd); }
bool Control::Enabled() const { return IsWindowEnabled(m_hwnd) != FALSE; }
bool Control::Focused() const { return GetFocus() == m_hwnd; }

COLORREF Control::FillBackground(HDC hdc, const RECT& rect, UINT ctlColorMessage) const {
    const HBRUSH custom = ParentColorBrush(m_hwnd, ctlColorMessage, hdc);
    const bool enabled = Enabled();
    COLORREF text = enabled ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
    if (custom) {
        FillRect(hdc, &rect, custom);
        if (enabled)
            text = GetTextColor(hdc);
    } else {
        FillSolid(hdc, rect, GetSysColor(COLOR_WINDOW));
    }
    return text;
}

RECT Control::Client() const {
    RECT rc{0, 0, 0, 0};
    GetClientRect(m_hwnd, &rc);
    return rc;
}

void Control::ShowVerticalBar(bool show) {
    DWORD style = Style();
    if (((style & WS_VSCROLL) != 0) == show)
        return;
    SetWindowLong(m_hwnd, GWL_STYLE, static_cast<LONG>(show ? style | WS_VSCROLL : style & ~WS_VSCROLL));
    SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Control::Redraw() { InvalidateRect(m_hwnd, nullptr, FALSE); }

HFONT Control::Font() const { return m_font ? m_font : DefaultControlFont(); }

int Control::LineHeight() const {
    HDC hdc = GetDC(m_hwnd);
    TEXTMETRIC tm{};
    {
        SelectGuard font(hdc, Font());
        GetTextMetrics(hdc, &tm);
    }
    ReleaseDC(m_hwnd, hdc);
    return std::max<int>(1, tm.tmHeight);
}

int DensityScale() { return std::max(1, GetScreenDpi() / 96); }
int Control::Scale() { return DensityScale(); }

void Control::NotifyCommand(WORD code) {
    HWND parent = GetParent(m_hwnd);
    if (parent)
        SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(Id()), code),
                    reinterpret_cast<LPARAM>(m_hwnd));
}

LRESULT Control::Notify(NMHDR& header, UINT code) {
    header.hwndFrom = m_hwnd;
    header.idFrom = static_cast<UINT_PTR>(Id());
    header.code = code;
    HWND parent = GetParent(m_hwnd);
    if (!parent)
        return 0;
    return SendMessage(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

// ---- drawing ---------------------------------------------------------------------

HFONT DefaultControlFont() {
    // One font per density; the screen is chosen once at start but tests
    // switch between the two.
    static std::unordered_map<int, HFONT> fonts;
    int dpi = GetScreenDpi();
    HFONT& font = fonts[dpi];
    if (!font) {
        LOGFONT lf{};
        lf.lfHeight = -((8 * dpi + 36) / 72);
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        const wchar_t face[] = L"Tahoma";
        std::copy(std::begin(face), std::end(face), lf.lfFaceName);
        font = CreateFontIndirect(&lf);
    }
    return font;
}

void FillSolid(HDC hdc, const RECT& rect, COLORREF color) {
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(hdc, &rect, brush);
    DeleteObject(brush);
}

void FrameSolid(HDC hdc, const RECT& r, COLORREF color, int width) {
    FillSolid(hdc, {r.left, r.top, r.right, r.top + width}, color);
    FillSolid(hdc, {r.left, r.bottom - width, r.right, r.bottom}, color);
    FillSolid(hdc, {r.left, r.top + width, r.left + width, r.bottom - width}, color);
    FillSolid(hdc, {r.right - width, r.top + width, r.right, r.bottom - width}, color);
}

void DrawArrow(HDC hdc, const RECT& rect, Arrow direction, int size, COLORREF color) {
    // Drawn as stacked spans so the edges stay crisp: a base of `size`
    // pixels narrowing by two per row.
    if (size % 2 == 0)
        --size;
    int depth = (size + 1) / 2;
    int cx = (rect.left + rect.right) / 2;
    int cy = (rect.top + rect.bottom) / 2;
    HBRUSH brush = CreateSolidBrush(color);
    for (int i = 0; i < depth; ++i) {
        int half = (size - 1) / 2 - i;
        RECT span{};
        switch (direction) {
        case Arrow::Down: {
            int y = cy - depth / 2 + i;
            span = {cx - half, y, cx + half + 1, y + 1};
            break;
        }
        case Arrow::Up: {
            int y = cy + (depth - 1) / 2 - i;
            span = {cx - half, y, cx + half + 1, y + 1};
            break;
        }
        case Arrow::Right: {
            int x = cx - depth / 2 + i;
            span = {x, cy - half, x + 1, cy + half + 1};
            break;
        }
        case Arrow::Left: {
            int x = cx + (depth - 1) / 2 - i;
            span = {x, cy - half, x + 1, cy + half + 1};
            break;
        }
        }
        FillRect(hdc, &span, brush);
    }
    DeleteObject(brush);
}

void DrawCheckMark(HDC hdc, const RECT& rect, COLORREF color) {
    // A tick of three-pixel-thick strokes on a 7x7 grid, scaled to the box.
    int w = rect.right - rect.left;
    int unit = std::max(1, w / 7);
    int ox = rect.left + (w - 7 * unit) / 2;
    int oy = rect.top + ((rect.bottom - rect.top) - 7 * unit) / 2;
    HBRUSH brush = CreateSolidBrush(color);
    // Column x of the tick spans rows [top, top + 3).
    static const int kTop[7] = {2, 3, 4, 3, 2, 1, 0};
    for (int x = 0; x < 7; ++x) {
        RECT cell{ox + x * unit, oy + kTop[x] * unit, ox + (x + 1) * unit, oy + (kTop[x] + 3) * unit};
        FillRect(hdc, &cell, brush);
    }
    DeleteObject(brush);
}

void DrawLabel(HDC hdc, HFONT font, const std::wstring& text, RECT rect, UINT format, COLORREF color) {
    SelectGuard selectFont(hdc, font);
    SetTextColor(hdc, color);
    int oldMode = SetBkMode(hdc, TRANSPARENT);
    DrawText(hdc, text.c_str(), static_cast<int>(text.size()), &rect, format);
    SetBkMode(hdc, oldMode);
}

std::wstring WindowText(HWND hwnd) {
    int length = GetWindowTextLength(hwnd);
    std::wstring text(static_cast<size_t>(std::max(0, length)) + 1, L'\0');
    int got = GetWindowText(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(std::max(0, got)));
    return text;
}

HBRUSH ParentColorBrush(HWND hwnd, UINT ctlColorMessage, HDC hdc) {
    HWND parent = GetParent(hwnd);
    if (!parent)
        return nullptr;
    return reinterpret_cast<HBRUSH>(
        SendMessage(parent, ctlColorMessage, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(hwnd)));
}

// ---- typing to find ---------------------------------------------------------

std::wstring TypeAhead::Next(wchar_t ch) {
    const unsigned now = GetTickCount();
    if (m_prefix.empty() || now - m_last > kPauseMs)
        m_prefix.clear();
    m_last = now;
    m_prefix += ch;
    // "sss" steps through the items starting with "s".
    const wchar_t first = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(m_prefix[0])));
    const bool repeated = std::all_of(m_prefix.begin(), m_prefix.end(), [first](wchar_t c) {
        return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))) == first;
    });
    return repeated ? m_prefix.substr(0, 1) : m_prefix;
}

bool TypeAhead::StartsWith(const std::wstring& text, const std::wstring& prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::towlower(static_cast<wint_t>(text[i])) != std::towlower(static_cast<wint_t>(prefix[i])))
            return false;
    return true;
}

}  // namespace ob::ui
