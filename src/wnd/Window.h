// The object layer over the platform's windows: every window the program
// makes has an object, and every message reaches that object through one
// window procedure (dialogs through the dialog procedure, which shares its
// dispatch).
//
// A window is written on the typed handlers: each gets the message's values
// decoded and answers whether it handled it; unhandled messages get the
// default processing.
//
//     class Dial : public ZEP_Wnd::Window {
//         bool OnPaint() override {
//             ZEP_Wnd::PaintDC paint(m_hwnd);
//             DrawFace(paint);
//             return true;
//         }
//         bool OnLButtonDown(POINT at, UINT) override { return Press(at); }  // false: default runs
//         bool OnCommand(const CommandParams& command) override {
//             if (command.id != kResetId)
//                 return false;
//             Reset();
//             return true;
//         }
//     };
//
// OnMessage is still there beneath them for the rare message without a typed
// handler (result starts at 0); its default decodes the message and calls the
// typed handlers.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/ui/Controls.h"
#include "platform/ui/Windows.h"

namespace ZEP_Wnd {

class Window {
public:
    Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Virtual operations, in slot order.
    virtual ~Window();
    virtual bool Destroy();
    virtual bool ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual void BindControls(bool attach);
    virtual LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual bool OnCreate(CREATESTRUCT* createInfo);
    virtual void OnDestroy();
    virtual bool OnAttach();
    virtual void OnInitMenuPopup(HMENU menu, UINT position, bool isSystemMenu);
    virtual bool UpdateCommandState(UINT id, bool& enabled, bool& checked);

    // A message's parameters decoded once, so that a handler reads as what it
    // handles instead of taking words apart.
    struct CommandParams {
        UINT id = 0;          // the command, or the id of the control that sent it
        UINT code = 0;        // the control's notification code (0 from a menu)
        HWND from = nullptr;  // the control, or null for a menu or an accelerator
    };
    struct KeyParams {
        UINT key = 0;    // the virtual key
        UINT flags = 0;  // the repeat count and scan code word
    };
    struct ActivateParams {
        UINT state = 0;  // WA_ACTIVE, WA_CLICKACTIVE or WA_INACTIVE
        bool minimized = false;
        HWND other = nullptr;  // the window losing or gaining the activation; may be null
    };
    struct ScrollParams {
        int code = 0;        // SB_LINEUP, SB_PAGEDOWN, SB_THUMBTRACK...
        int position = 0;    // the thumb's position, for SB_THUMBPOSITION and SB_THUMBTRACK
        HWND bar = nullptr;  // the scroll-bar control, or null for the window's own bar
    };

    // Typed handlers, called by OnMessage's default with the message decoded.
    // Each returns whether it handled the message; the defaults handle
    // nothing, so the message goes on to DefaultProc as it always did. A
    // handled message answers 0 unless the handler says otherwise below.
    virtual bool OnPaint();
    // Handled: the window paints all of itself, so nothing is erased (answers 1).
    virtual bool OnEraseBackground(HDC dc);
    virtual bool OnSize(SIZE client);
    virtual bool OnTimer(UINT_PTR id);
    // Mouse points are in client coordinates (negative left of or above the
    // window while the mouse is captured); flags are the MK_ keys held.
    virtual bool OnLButtonDown(POINT at, UINT flags);
    virtual bool OnLButtonUp(POINT at, UINT flags);
    virtual bool OnMouseMove(POINT at, UINT flags);
    // key is the virtual key; flags the repeat count and scan code word.
    virtual bool OnKeyDown(UINT key, UINT flags);
    virtual bool OnChar(wchar_t character, UINT flags);
    // A window becoming active or inactive.
    virtual bool OnActivate(const ActivateParams& activate);
    // A press on a window that is not active: the MA_ answer (MA_NOACTIVATE
    // leaves the active window as it is), or 0 for the default.
    virtual int OnMouseActivate(HWND topLevel, UINT hitTest, UINT mouseMessage);
    // A system setting changed: flag is the SPI_ value, section names the
    // part that changed (may be null).
    virtual bool OnSettingChange(UINT flag, const wchar_t* section);
    virtual bool OnSetFocus(HWND previous);
    virtual bool OnKillFocus(HWND next);
    virtual bool OnClose();
    // WM_COMMAND, from a menu, an accelerator or a child control.
    virtual bool OnCommand(const CommandParams& command);
    // WM_NOTIFY; result starts at 0. The whole record: NotifyRecord<T>(header).
    virtual bool OnNotify(const NMHDR& header, LRESULT& result);
    virtual bool OnHScroll(const ScrollParams& scroll);
    virtual bool OnVScroll(const ScrollParams& scroll);
    // WM_GETDLGCODE: the message the dialog manager is asking about (may be
    // null); codes starts at 0 and takes the DLGC_ values wanted.
    virtual bool OnGetDlgCode(const MSG* message, LRESULT& codes);
    // The WM_CTLCOLOR* messages (message says which): the brush to paint the
    // control's background with, or null for the default.
    virtual HBRUSH OnCtlColor(UINT message, HDC dc, HWND control);
    // WM_DRAWITEM reflected to the owner-drawn control's own object: draw
    // yourself (answers TRUE when handled).
    virtual bool OnReflectedDrawItem(const DRAWITEMSTRUCT& item);

    // The record of the notification `header` starts.
    template <typename Record>
    static const Record& NotifyRecord(const NMHDR& header) {
        return *reinterpret_cast<const Record*>(&header);
    }

    HWND GetHandle() const { return m_hwnd; }
    HWND GetParentHandle() const { return m_hwnd ? ::GetParent(m_hwnd) : nullptr; }

    // Binding to an existing window without taking over its procedure.
    bool Attach(HWND hwnd);
    HWND Detach();
    // Taking over an existing window (a control): our procedure runs first.
    bool Subclass(HWND hwnd);
    bool AttachDlgItem(HWND parent, int id);
    void Unsubclass();

    bool Create(LPCWSTR className, LPCWSTR title, DWORD style, DWORD exStyle, const RECT& rect, HWND parent,
                UINT_PTR idOrMenu);
    bool CreateChild(LPCWSTR className, LPCWSTR title, DWORD style, DWORD exStyle, const RECT& rect,
                     HWND parent, UINT_PTR id);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    HWND GetDlgItem(int id) const;
    std::wstring GetDlgItemText(int id) const;
    void SetRedraw(bool redraw) const;
    bool SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) const;
    bool MoveWindow(const RECT& rect, bool repaint = true) const;
    bool MoveWindow(int x, int y, int width, int height, bool repaint = true) const;
    bool Invalidate(bool erase = true) const;
    bool InvalidateRect(const RECT& rect, bool erase = true) const;
    bool EnableWindow(bool enable) const;
    RECT GetWindowRect() const;
    RECT GetClientRect() const;
    RECT ScreenToClient(const RECT& rect) const;
    std::wstring GetWindowText() const;
    bool SetWindowText(const std::wstring& text) const;
    void SetFont(HFONT font, bool redraw = true) const;
    bool ShowWindow(int command) const;
    bool UpdateWindow() const;
    HWND SetFocus() const;
    bool IsVisible() const;
    // Creates the shell menu bar of this window from a menu resource.
    HWND CreateMenuBar(UINT menuId) const;

    // The point of a mouse message, in client coordinates (negative to the
    // left of or above the window while the mouse is captured).
    static POINT PointFromParam(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }
    // The new client size of WM_SIZE.
    static SIZE SizeFromParam(LPARAM lParam) {
        const auto bits = static_cast<std::uintptr_t>(lParam);
        return SIZE{LOWORD(bits), HIWORD(bits)};
    }
    // WM_COMMAND.
    static CommandParams CommandFromParams(WPARAM wParam, LPARAM lParam) {
        return CommandParams{LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)};
    }
    // WM_KEYDOWN.
    static KeyParams KeyFromParams(WPARAM wParam, LPARAM lParam) {
        return KeyParams{static_cast<UINT>(wParam), static_cast<UINT>(lParam)};
    }
    // WM_ACTIVATE.
    static ActivateParams ActivateFromParams(WPARAM wParam, LPARAM lParam) {
        return ActivateParams{LOWORD(wParam), HIWORD(wParam) != 0, reinterpret_cast<HWND>(lParam)};
    }
    // WM_VSCROLL and WM_HSCROLL.
    static ScrollParams ScrollFromParams(WPARAM wParam, LPARAM lParam) {
        // The position is 16 bits, signed as a scroll range may be.
        return ScrollParams{LOWORD(wParam), static_cast<short>(HIWORD(wParam)),
                            reinterpret_cast<HWND>(lParam)};
    }
    // WM_NOTIFY's record: the header every notification starts with, or the
    // whole record of the notification `code` names.
    template <typename Record = NMHDR>
    static const Record* NotifyFromParam(LPARAM lParam) {
        return reinterpret_cast<const Record*>(lParam);
    }

    // The window procedure shared by every window of the library's classes
    // and every window taken over.
    static LRESULT WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Runs the message through the object (Route, then default processing);
    // shared by the window and dialog procedures.
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    // Offers the message to the object: reflection to a control's object,
    // the menu refresh, OnMessage. Returns whether it was handled.
    virtual bool Route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // What the procedure returns for a handled message: a window procedure
    // returns the result itself.
    virtual LRESULT Answer(UINT message, LRESULT result);
    static bool IsReflectedMessage(UINT message);
    // Registers the handle with this object and asks OnAttach; undone on refusal.
    bool Bind(HWND hwnd);
    static HWND ReflectionSource(HWND self, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    WNDPROC m_previousProc = nullptr;
    bool m_driven = false;

    friend class Dialog;
};

// The offset added to a notification's message number when it is handed to
// the object of the control that sent it.
constexpr UINT kReflectedMessageBase = 0xBC00;

// Map from platform window handle to object: one exists while the program runs.
class WindowManager {
public:
    bool Register(HWND hwnd, Window* window);
    void Unregister(HWND hwnd);
    Window* Find(HWND hwnd) const;
    size_t GetCount() const { return m_windows.size(); }

private:
    std::map<HWND, Window*> m_windows;
};

// Registers each window class once and remembers its identifier.
class WindowClassRegistrar {
public:
    ATOM Register(const std::wstring& name, HICON icon, HCURSOR cursor, HBRUSH background, LPCWSTR menuName);
    ATOM Find(const std::wstring& name) const;
    size_t GetCount() const { return m_classes.size(); }

private:
    std::map<std::wstring, ATOM> m_classes;
};

}  // namespace ZEP_Wnd
