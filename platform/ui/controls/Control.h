// The common ground of every control: the per-window object behind a
// control's window procedure, its font, notifications to the parent, and
// the few drawing helpers that give all controls the same flat look.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/ui/Controls.h"
#include "platform/ui/Windows.h"

namespace ob::ui {

// One object per control window, created on the first message and deleted
// after the last (WM_NCDESTROY).
class Control {
public:
    explicit Control(HWND hwnd);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // The control's message handler; unhandled messages go to Default().
    virtual LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd() const { return m_hwnd; }

protected:
    LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual void Paint(HDC /*hdc*/, const RECT& /*client*/) {}
    // WM_SETFONT: the font to draw with from now on (null: the system's).
    void SetFont(HFONT font, bool redraw);

    // The item index a message carries in wParam; -1 and the other
    // negative ones come through as sent.
    static int IndexFromParam(WPARAM wParam) { return static_cast<int>(static_cast<std::intptr_t>(wParam)); }

    DWORD Style() const;
    int Id() const;
    bool Enabled() const;
    bool Focused() const;
    RECT Client() const;
    void Redraw();
    // Fills `rect` with the brush the parent answers `ctlColorMessage` with,
    // or the window colour when it answers none. Returns the colour to draw
    // text in: the one the parent set in the DC, or the system's (grey while
    // disabled).
    COLORREF FillBackground(HDC hdc, const RECT& rect, UINT ctlColorMessage) const;

    // The font set with WM_SETFONT, else the system's control font.
    HFONT Font() const;
    // Line height of the control's font.
    int LineHeight() const;
    // Pixels per 96-dpi pixel: 1 on QVGA, 2 on VGA.
    static int Scale();

    // Shows or hides the vertical bar in the frame (WS_VSCROLL), sizing the
    // client area to match.
    void ShowVerticalBar(bool show);

    // WM_COMMAND to the parent with the control's id and `code`.
    void NotifyCommand(WORD code);
    // WM_NOTIFY to the parent; fills the header's sender fields.
    LRESULT Notify(NMHDR& header, UINT code);

    HWND m_hwnd;
    HFONT m_font = nullptr;

private:
    void OnPaint();   // WM_PAINT: Paint between BeginPaint and EndPaint
    void OnEnable();  // WM_ENABLE: drawn again, frame bars too
};

// Typing to find in a list: letters typed in quick succession make a prefix,
// and the list jumps to the first item that starts with it. The first letter
// looks past the current item, so pressing one letter again and again steps
// through the items that start with it.
class TypeAhead {
public:
    // The item to go to after the character `ch`, or -1 when none matches.
    // `textAt(i)` gives item i's text.
    template <class TextAt>
    int Find(wchar_t ch, int current, int count, TextAt textAt) {
        if (count <= 0)
            return -1;
        int found = Search(Next(ch), current, count, textAt);
        if (found < 0 && m_prefix.size() > 1) {
            // Nothing starts with the whole prefix: the letter starts a new one.
            m_prefix.assign(1, ch);
            found = Search(m_prefix, current, count, textAt);
        }
        return found;
    }

    // Whether a prefix is being typed (a Space then belongs to it).
    bool Typing() const { return !m_prefix.empty() && GetTickCount() - m_last <= kPauseMs; }

    // How long a pause ends a prefix, in milliseconds.
    static constexpr unsigned kPauseMs = 1000;

private:
    template <class TextAt>
    static int Search(const std::wstring& search, int current, int count, TextAt& textAt) {
        const int start = search.size() == 1 ? current + 1 : std::max(current, 0);
        for (int k = 0; k < count; ++k) {
            const int i = (((start % count) + count) % count + k) % count;
            if (StartsWith(textAt(i), search))
                return i;
        }
        return -1;
    }
    // The text to look for after `ch`: the prefix, or a repeated letter alone.
    std::wstring Next(wchar_t ch);
    static bool StartsWith(const std::wstring& text, const std::wstring& prefix);

    std::wstring m_prefix;
    unsigned m_last = 0;
};

Control* FindControl(HWND hwnd);
void AdoptControl(HWND hwnd, std::unique_ptr<Control> control);
// Runs one message through the control. A control destroyed from inside
// one of its own handlers (a parent closing the dialog on a notification)
// stays alive until that handler has returned.
LRESULT DispatchToControl(Control* control, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The window procedure of control class T: one T per window.
template <class T>
LRESULT ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // The first message of a new window always gets a fresh object: a handle
    // may come back after the window system was started again (tests).
    Control* control = msg == WM_NCCREATE ? nullptr : FindControl(hwnd);
    if (!control) {
        if (msg == WM_NCDESTROY || msg == WM_DESTROY)
            return DefWindowProc(hwnd, msg, wParam, lParam);
        auto made = std::make_unique<T>(hwnd);
        control = made.get();
        AdoptControl(hwnd, std::move(made));
    }
    return DispatchToControl(control, hwnd, msg, wParam, lParam);
}

// Registers every control class once (safe to call again).
void RegisterControlClasses();

// ---- shared drawing ---------------------------------------------------------

// Pixels per 96-dpi pixel: 1 on QVGA, 2 on VGA.
int DensityScale();

// The system's control font: Tahoma 8 pt at the screen's density.
HFONT DefaultControlFont();
void FillSolid(HDC hdc, const RECT& rect, COLORREF color);
// A frame `width` pixels wide inside `rect`.
void FrameSolid(HDC hdc, const RECT& rect, COLORREF color, int width);
// A filled triangle pointing down (or up, left, right) centred in `rect`,
// `size` pixels across its base.
enum class Arrow { Up, Down, Left, Right };
void DrawArrow(HDC hdc, const RECT& rect, Arrow direction, int size, COLORREF color);
// A check mark fitted in `rect`.
void DrawCheckMark(HDC hdc, const RECT& rect, COLORREF color);
// Text in the control's colours, background transparent.
void DrawLabel(HDC hdc, HFONT font, const std::wstring& text, RECT rect, UINT format, COLORREF color);
// The window's text as a string.
std::wstring WindowText(HWND hwnd);
// Brush from a WM_CTLCOLOR* message to the parent, or nullptr to draw the defaults.
HBRUSH ParentColorBrush(HWND hwnd, UINT ctlColorMessage, HDC hdc);

}  // namespace ob::ui
