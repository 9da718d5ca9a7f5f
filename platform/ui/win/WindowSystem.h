// The window system's state: classes, the window tree, the message queue,
// timers, input and the screen. One instance per process, used from the UI
// thread only. Internal to platform/ui.
#pragma once

#include "platform/ui/Windows.h"
#include "platform/ui/gdi/Region.h"

#include <pixman.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace ob::ui {

struct WindowClass {
    std::wstring name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    std::wstring menuName;
    int wndExtra = 0;
};

struct Window {
    HWND handle = nullptr;
    WindowClass* cls = nullptr;
    WNDPROC proc = nullptr;
    std::wstring text;
    DWORD style = 0;
    DWORD exStyle = 0;
    UINT_PTR id = 0;  // child id, or the menu of a top-level window
    HINSTANCE instance = nullptr;
    Window* parent = nullptr;  // the desktop for top-level windows
    Window* owner = nullptr;
    std::vector<Window*> children;  // front to back
    RECT rect{};                    // window rectangle in parent client coordinates
    RECT client{};                  // client rectangle relative to the window's top-left
    Region update;                  // in client coordinates
    bool erase = false;
    bool ncDirty = false;
    bool internalPaint = false;
    bool redraw = true;  // WM_SETREDRAW
    bool destroying = false;
    bool created = false;  // WM_CREATE answered
    bool inPaint = false;
    HFONT font = nullptr;
    std::map<int, LONG_PTR> longs;  // GWL_USERDATA and the dialog slots
    HWND lastFocus = nullptr;       // focus to give back on activation
    // Dialog state.
    bool isDialog = false;
    bool dialogEnded = false;
    INT_PTR dialogResult = 0;
    int baseUnitX = 0, baseUnitY = 0;
    DWORD shellFlags = 0;  // SHInitDialog flags
};

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT interval;
    std::uint32_t due;
    TIMERPROC proc;
};

// Raw input waiting to become window messages.
struct InputEvent {
    enum Kind { PenDown, PenMove, PenUp, KeyDown, KeyUp, Char } kind;
    POINT pt{};    // screen coordinates for the pen
    UINT key = 0;  // virtual key or character
    std::uint32_t time = 0;
};

class Display;

struct WindowSystem {
    std::map<std::wstring, std::unique_ptr<WindowClass>> classes;  // by lower-case name
    ATOM nextAtom = 0xC000;
    std::unordered_map<HWND, std::unique_ptr<Window>> windows;
    std::uintptr_t nextHandle = 0x10000;
    Window* desktop = nullptr;

    std::deque<MSG> posted;
    std::deque<InputEvent> input;
    bool quitPending = false;
    int quitCode = 0;
    std::vector<Timer> timers;
    UINT_PTR nextTimerId = 0x7F00;

    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    POINT cursor{};
    DWORD lastMessagePos = 0;
    LONG lastMessageTime = 0;
    bool penDown = false;
    std::uint8_t keyState[256] = {};
    bool altAlone = false;  // the last key pressed was Alt: lifting it opens the menu bar
    HCURSOR currentCursor = nullptr;
    // Double-click detection.
    HWND lastClickWindow = nullptr;
    std::uint32_t lastClickTime = 0;
    POINT lastClickPoint{};

    // The screen.
    int screenWidth = 240;
    int screenHeight = 320;
    int screenDpi = 96;
    std::unique_ptr<Display> display;
    bool screenDirty = false;
    Region screenDamage;

    // Code that runs when a loop would wait under the virtual clock (tests).
    std::function<bool()> idleHandler;
    // Extra file descriptors the loop waits on (folder watching, sockets).
    std::map<int, std::function<void()>> loopSources;
};

WindowSystem& Sys();
// Creates the desktop on first use.
void EnsureStarted();
// Tears everything down (tests start each case from scratch).
void ResetWindowSystem();

Window* FromHandle(HWND hwnd);  // null for bad or destroyed handles
Window* FromHandleOrDesktop(HWND hwnd);
bool IsTopLevel(const Window* w);
Window* TopLevelOf(Window* w);
// Window and client rectangles in screen coordinates.
RECT ScreenWindowRect(const Window* w);
RECT ScreenClientRect(const Window* w);
bool IsReallyVisible(const Window* w);  // it and every ancestor visible
bool IsAncestor(const Window* ancestor, const Window* w);
// The part of the screen where the window's client area shows (or its whole
// window with `includeFrame`), in screen coordinates: clipped by ancestors,
// covered by siblings above it and (for the client) by its visible children.
Region VisibleRegion(const Window* w, bool includeFrame, bool withChildren = false);
// Recomputes the client rectangle from the styles.
void UpdateClientRect(Window* w);
// Invalidates what lies under `screenArea` in every visible window except `skip` and its descendants.
void InvalidateScreenArea(const RECT& screenArea, const Window* skip);
void InvalidateScreenRegion(const Region& screenArea, const Window* skip);
// Invalidates the part of the screen area that falls in `w` and its descendants.
void InvalidateTreeUnder(Window* w, const Region& screenArea);
void InvalidateWholeTree(Window* w, bool erase);
// Called after drawing to the screen: the display shows it when the loop goes idle.
void MarkScreenDirty(const RECT& screenArea);

// Messages.
LRESULT Send(Window* w, UINT message, WPARAM wParam, LPARAM lParam);
void RemoveMessagesFor(HWND hwnd);
void KillTimersFor(HWND hwnd);

// Runs one pass of waiting: the display's input, loop sources, the next timer.
// Returns when something may have arrived, or after `limitMs` (-1: no limit).
void WaitForWork(int limitMs = -1);
// Pushes the screen to the display when something was drawn.
void PresentIfDirty();
// Finds the first window that needs painting (parents before children).
Window* FindWindowToPaint(HWND filter);
// Focus and activation helpers.
void Activate(Window* top, WORD how);
void FocusLost(Window* w);  // a window that goes away or is hidden

// Dialog helpers.
bool IsDialogWindow(const Window* w);
void ScaleDialogUnits(int baseX, int baseY, RECT& rc);

// The shell's chrome heights at the current density.
struct ShellMetrics {
    int width = 0, height = 0;  // the screen
    int navBar = 0, menuBar = 0;
};
int NavBarHeight();
int MenuBarHeight();
RECT WorkArea();
void ShellWindowActivated();  // the navigation bar shows the new title
void ShellTitleChanged(HWND hwnd);

int Scale(int pixelsAt96);  // scale for the screen's density

}  // namespace ob::ui
