// Message boxes: a caption, an icon, word-wrapped text and OK, OK/Cancel,
// Yes/No or Yes/No/Cancel buttons, run modally over a disabled owner.
#include "platform/ui/gdi/SelectGuard.h"
#include "platform/ui/win/GdiBridge.h"
#include "platform/ui/win/UiFonts.h"
#include "platform/ui/win/WindowSystem.h"

#include <algorithm>
#include <string>
#include <vector>

namespace ob::ui {
namespace {

constexpr wchar_t kClass[] = L"#MessageBox";

struct Box {
    std::wstring caption;
    std::wstring text;
    UINT icon = 0;
    struct Button {
        int id;
        std::wstring label;
        RECT rect;
    };
    std::vector<Button> buttons;
    int defaultButton = 0;
    int pressed = -1;
    int result = 0;
    bool done = false;
    RECT textRect{};
    RECT iconRect{};
    int captionHeight = 0;
};

void DrawIcon(HDC dc, UINT icon, const RECT& r) {
    COLORREF fill = icon == MB_ICONHAND          ? RGB(204, 0, 0)
                    : icon == MB_ICONEXCLAMATION ? RGB(240, 200, 0)
                                                 : RGB(0, 80, 200);
    HBRUSH brush = CreateSolidBrush(fill);
    HPEN pen = CreatePen(PS_SOLID, 1, icon == MB_ICONEXCLAMATION ? RGB(120, 100, 0) : fill);
    {
        SelectGuard selectBrush(dc, brush), selectPen(dc, pen);
        if (icon == MB_ICONEXCLAMATION) {
            POINT tri[3] = {
                {(r.left + r.right) / 2, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}};
            Polygon(dc, tri, 3);
        } else {
            Ellipse(dc, r.left, r.top, r.right, r.bottom);
        }
    }
    DeleteObject(brush);
    DeleteObject(pen);
    const wchar_t* mark = icon == MB_ICONHAND          ? L"X"
                          : icon == MB_ICONQUESTION    ? L"?"
                          : icon == MB_ICONEXCLAMATION ? L"!"
                                                       : L"i";
    RECT tr = r;
    if (icon == MB_ICONEXCLAMATION)
        tr.top += (r.bottom - r.top) / 5;
    DrawLine(dc, UiFont(12, true), mark, tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
             icon == MB_ICONEXCLAMATION ? RGB(0, 0, 0) : RGB(255, 255, 255));
}

void Paint(HWND hwnd, Box& box) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    FillRect(dc, &rc, GetSysColorBrush(COLOR_WINDOW));
    RECT cap{0, 0, rc.right, box.captionHeight};
    FillRect(dc, &cap, GetSysColorBrush(COLOR_ACTIVECAPTION));
    RECT capText{Scale(4), 0, rc.right - Scale(4), box.captionHeight};
    DrawLine(dc, UiFont(8, true), box.caption, capText,
             DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS, GetSysColor(COLOR_CAPTIONTEXT));
    if (box.icon)
        DrawIcon(dc, box.icon, box.iconRect);
    {
        SelectGuard font(dc, UiFont(8, false));
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkMode(dc, TRANSPARENT);
        RECT tr = box.textRect;
        DrawText(dc, box.text.c_str(), static_cast<int>(box.text.size()), &tr,
                 DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    }
    for (size_t i = 0; i < box.buttons.size(); ++i) {
        const auto& b = box.buttons[i];
        bool down = box.pressed == static_cast<int>(i);
        RECT r = b.rect;
        FillRect(dc, &r, GetSysColorBrush(down ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        if (static_cast<int>(i) == box.defaultButton) {
            RECT inner = r;
            InflateRect(&inner, -1, -1);
            FrameRect(dc, &inner, GetSysColorBrush(COLOR_WINDOWFRAME));
        }
        DrawLine(dc, UiFont(8, false), b.label, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                 GetSysColor(down ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
    }
    EndPaint(hwnd, &ps);
}

HWND TopHandle(HWND h) {
    Window* t = TopLevelOf(FromHandle(h));
    return t ? t->handle : nullptr;
}

int ButtonAt(const Box& box, POINT p) {
    for (size_t i = 0; i < box.buttons.size(); ++i) {
        const RECT& r = box.buttons[i].rect;
        if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom)
            return static_cast<int>(i);
    }
    return -1;
}

void Answer(Box& box, int id) {
    box.result = id;
    box.done = true;
}

void OnLButtonDown(HWND hwnd, Box& box, POINT at) {
    box.pressed = ButtonAt(box, at);
    if (box.pressed >= 0) {
        SetCapture(hwnd);
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

void OnLButtonUp(HWND hwnd, Box& box, POINT at) {
    int released = ButtonAt(box, at);
    if (GetCapture() == hwnd)
        ReleaseCapture();
    if (box.pressed >= 0 && released == box.pressed)
        Answer(box, box.buttons[static_cast<size_t>(released)].id);
    box.pressed = -1;
    InvalidateRect(hwnd, nullptr, FALSE);
}

bool HasButton(const Box& box, int id) {
    return std::any_of(box.buttons.begin(), box.buttons.end(),
                       [id](const Box::Button& b) { return b.id == id; });
}

void OnKeyDown(HWND hwnd, Box& box, WPARAM key) {
    int n = static_cast<int>(box.buttons.size());
    if (key == VK_RETURN || key == VK_SPACE) {
        Answer(box, box.buttons[static_cast<size_t>(box.defaultButton)].id);
    } else if (key == VK_ESCAPE) {
        // Escape answers Cancel, else No (the answer that changes nothing), or OK in
        // a box with only OK.
        const int answer = HasButton(box, IDCANCEL) ? IDCANCEL
                           : HasButton(box, IDNO)   ? IDNO
                           : n == 1                 ? box.buttons[0].id
                                                    : 0;
        if (answer)
            Answer(box, answer);
    } else if (key == 'Y' || key == 'N') {
        // The first letters of Yes and No answer at once.
        const int id = key == 'Y' ? IDYES : IDNO;
        if (HasButton(box, id))
            Answer(box, id);
    } else if (key == VK_LEFT || key == VK_UP || key == VK_TAB || key == VK_RIGHT || key == VK_DOWN) {
        int step = (key == VK_LEFT || key == VK_UP) ? -1 : 1;
        box.defaultButton = (box.defaultButton + step + n) % n;
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

void OnClose(Box& box) {
    for (const auto& b : box.buttons)
        if (b.id == IDCANCEL || (box.buttons.size() == 1))
            Answer(box, b.id);
}

LRESULT BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* box = reinterpret_cast<Box*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
    if (!box)
        return DefWindowProc(hwnd, message, wParam, lParam);
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_PAINT: Paint(hwnd, *box); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN: OnLButtonDown(hwnd, *box, at); return 0;
    case WM_LBUTTONUP: OnLButtonUp(hwnd, *box, at); return 0;
    case WM_KEYDOWN: OnKeyDown(hwnd, *box, wParam); return 0;
    case WM_CLOSE: OnClose(*box); return 0;
    default: return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace
}  // namespace ob::ui

using namespace ob::ui;

namespace {

// The caption, text, icon and buttons a MessageBox type asks for.
void Describe(Box& box, LPCWSTR text, LPCWSTR caption, UINT type) {
    box.caption = caption ? caption : L"Error";
    box.text = text ? text : L"";
    box.icon = type & 0xF0;
    switch (type & 0x0F) {
    case MB_OKCANCEL: box.buttons = {{IDOK, L"OK", {}}, {IDCANCEL, L"Cancel", {}}}; break;
    case MB_YESNOCANCEL:
        box.buttons = {{IDYES, L"Yes", {}}, {IDNO, L"No", {}}, {IDCANCEL, L"Cancel", {}}};
        break;
    case MB_YESNO: box.buttons = {{IDYES, L"Yes", {}}, {IDNO, L"No", {}}}; break;
    default: box.buttons = {{IDOK, L"OK", {}}}; break;
    }
    int defIndex = static_cast<int>((type >> 8) & 0x0F);
    box.defaultButton = std::min<int>(defIndex, static_cast<int>(box.buttons.size()) - 1);
}

// Places the icon, the text and the buttons; the box's size. The box spans
// the screen less a margin and is as tall as its text.
SIZE LayOut(Box& box) {
    int screenW = Sys().screenWidth, screenH = Sys().screenHeight;
    int margin = Scale(8), pad = Scale(8);
    int width = screenW - 2 * margin;
    box.captionHeight = FontHeight(UiFont(8, true)) + Scale(6);
    int iconSize = box.icon ? Scale(32) : 0;
    int textLeft = pad + (iconSize ? iconSize + pad : 0);
    int textWidth = width - 2 - textLeft - pad;
    RECT measure{0, 0, textWidth, 0};
    {
        HDC dc = CreateCompatibleDC(nullptr);
        {
            SelectGuard font(dc, UiFont(8, false));
            DrawText(dc, box.text.c_str(), static_cast<int>(box.text.size()), &measure,
                     DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
        }
        DeleteDC(dc);
    }
    int textHeight = std::max<int>(measure.bottom - measure.top, iconSize);
    int buttonH = FontHeight(UiFont(8, false)) + Scale(10), buttonW = Scale(56);
    int height = box.captionHeight + pad + textHeight + pad + buttonH + pad + 2;
    height = std::min(height, screenH - 2 * margin);
    box.iconRect = RECT{pad, box.captionHeight + pad, pad + iconSize, box.captionHeight + pad + iconSize};
    box.textRect =
        RECT{textLeft, box.captionHeight + pad, textLeft + textWidth, box.captionHeight + pad + textHeight};
    int n = static_cast<int>(box.buttons.size());
    int gap = Scale(8);
    int total = n * buttonW + (n - 1) * gap;
    int bx = (width - 2 - total) / 2, by = height - 2 - pad - buttonH;
    for (auto& b : box.buttons) {
        b.rect = RECT{bx, by, bx + buttonW, by + buttonH};
        bx += buttonW + gap;
    }
    return SIZE{width, height};
}

// Pumps messages until the box is answered or gone. False when WM_QUIT came
// first; `quit` then holds it, for the caller to post again.
bool RunModal(HWND hwnd, const Box& box, MSG& quit) {
    while (!box.done && IsWindow(hwnd)) {
        if (!GetMessage(&quit, nullptr, 0, 0))
            return false;
        TranslateMessage(&quit);
        DispatchMessage(&quit);
    }
    return true;
}

}  // namespace

int MessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    EnsureStarted();
    if (owner && !IsWindow(owner))
        owner = nullptr;
    WNDCLASS wc{};
    if (!GetClassInfo(nullptr, kClass, &wc)) {
        wc.lpfnWndProc = BoxProc;
        wc.lpszClassName = kClass;
        RegisterClass(&wc);
    }
    Box box;
    Describe(box, text, caption, type);
    const SIZE size = LayOut(box);
    int x = Scale(8), y = (Sys().screenHeight - size.cy) / 2;
    HWND hwnd = CreateWindowEx(WS_EX_TOPMOST, kClass, box.caption.c_str(), WS_POPUP | WS_BORDER, x, y,
                               size.cx, size.cy, owner, nullptr, nullptr, nullptr);
    if (!hwnd)
        return 0;
    SetWindowLongPtr(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&box));
    HWND top = TopHandle(owner);
    bool reenable = top && IsWindowEnabled(top);
    if (reenable)
        EnableWindow(top, FALSE);
    ShowWindow(hwnd, SW_SHOW);
    SetFocus(hwnd);
    MSG msg;
    const bool quit = !RunModal(hwnd, box, msg);
    if (reenable && IsWindow(top))
        EnableWindow(top, TRUE);
    if (IsWindow(hwnd)) {
        SetWindowLongPtr(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
    }
    if (top && IsWindow(top))
        SetActiveWindow(top);
    if (quit)
        PostQuitMessage(static_cast<int>(msg.wParam));
    return box.done ? box.result : (box.buttons.size() == 1 ? IDOK : IDCANCEL);
}
