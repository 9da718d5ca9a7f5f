// The device screen and the displays that show it: a headless one that keeps
// the screen in memory (tests, screenshots, demos) and an SDL2 window on a
// desktop. On a desktop the screen is the window: resizing the window gives
// the screen a new size, and every window on it lays itself out again.
#pragma once

#include "platform/ui/WinTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace ob::ui {

struct ScreenMode {
    int width = 240;
    int height = 320;
    int dpi = 96;
};
// A screen is at least 240 pixels of the 96-dpi screen each way (480 at
// 192 dpi) and at most kMaxScreenSide device pixels.
constexpr int kMinScreenSide = 240;
constexpr int kMaxScreenSide = 8192;
// The densities the program's pictures are drawn for: 192 dpi (VGA) once
// the screen is at least 480 pixels each way, else 96 dpi (QVGA).
int DensityForScreen(int width, int height);
bool ScreenModeInRange(const ScreenMode& mode);
// "WxH" or "WxH@DPI" (96 or 192) in range; without a density it is chosen
// from the size.
bool ParseScreenMode(std::string_view text, ScreenMode& mode);

// Where the desktop window stands and how large it is, in desktop pixels.
// An empty one (width 0) leaves both to the display.
struct WindowPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool Empty() const { return width <= 0 || height <= 0; }
};

// A display shows the screen and turns its own input into injected input.
class Display {
public:
    virtual ~Display() = default;
    // Shows the screen's pixels (only the damaged area changed).
    virtual void Present(const RECT& damage) = 0;
    // A descriptor that becomes readable when input may be waiting, or -1.
    virtual int InputFd() { return -1; }
    // Reads waiting input without blocking and injects it.
    virtual void PumpInput() {}
    // Blocks for input up to timeoutMs (-1: no limit) when InputFd is -1.
    virtual void WaitInput(int timeoutMs);
    // Whether a person can give input (a loop waiting on the virtual clock
    // with nothing scripted would otherwise wait forever).
    virtual bool Interactive() const { return false; }
    // Desktop displays: show the window at `place` (see ShowDesktopWindow),
    // tell where it is, bring it to the front.
    virtual void Show(const WindowPlacement&) {}
    virtual WindowPlacement Placement() const { return {}; }
    virtual void Raise() {}
    // Offers UTF-8 text on the desktop's clipboard; false without one.
    virtual bool OfferClipboardText(const std::string&) { return false; }
};

// Starts the window system on a screen shown by the given kind of display:
// "headless" or "sdl". Returns false when that display cannot start (no
// desktop, or one that cannot be reached); the screen then stays headless.
// A mode of width 0 leaves the screen to the desktop window (headless: the
// 240x320 default). The desktop window stays hidden until ShowDesktopWindow.
bool StartScreen(const ScreenMode& mode, std::string_view display = "headless");
ScreenMode CurrentScreenMode();
// Gives the screen a new size and density, as turning the device or a new
// screen would: the shell's bars follow, every top-level window that filled
// the screen (or its work area) is fitted to the new one (WM_SIZE), the rest
// are kept on the screen, and everything is repainted. Out of range: nothing.
void ResizeScreen(const ScreenMode& mode);

// Runs after ResizeScreen gave the screen another density (on a desktop:
// the window crossed the size where the other one is chosen). What was made
// at the old density (fonts, pictures, dialog layouts) is to be made again;
// it runs from whichever loop takes the input, a dialog's too. Null: none.
void SetDensityChangeHandler(std::function<void()> handler);
// Shows the desktop window: at `place` (a size and place kept from an
// earlier run) or, when it is empty, at its first size, about half the
// desktop's height and portrait; a mode given to StartScreen sets the size
// instead. The screen then takes the window's size, at the density the size
// calls for, whole window pixels per screen pixel; its first frame (the
// shell's bar on the empty screen) shows at once. Resized across 480
// pixels each way (desktop pixels over its scale), the screen changes
// density, unless a mode was given to StartScreen. Headless: nothing.
void ShowDesktopWindow(const WindowPlacement& place);
// On a desktop: paints every window that waits for a paint and shows the
// screen at once, as the message loop would when it next waits, so that a
// start can put its first frame on the desktop before slower work.
// Headless: nothing (tests and pictures paint when their loop runs).
void PaintScreenNow();
// The desktop window's place and size now; empty when headless.
WindowPlacement DesktopWindowPlacement();
// Brings the desktop window in front of the desktop's other windows.
void RaiseDesktopWindow();
// Ends the window system: every window is destroyed and the display closed.
void StopScreen();

// The screen's pixels: 32-bit x8r8g8b8, rows of `ScreenStride()` pixels.
std::uint32_t* ScreenPixels();
int ScreenStride();
// The colour of one screen pixel, or CLR_INVALID-like 0xFFFFFFFF outside.
COLORREF ScreenPixel(int x, int y);
// Writes the screen (or a part) as a PNG file.
bool SaveScreenshot(const std::string& path, const RECT* area = nullptr);

// Injected input, as a display or a test delivers it: pen positions in
// screen coordinates, keys as virtual keys, text as characters.
void InjectPen(int kind, POINT screenPoint);  // 0 down, 1 move, 2 up
void InjectKey(UINT virtualKey, bool down);
void InjectChar(wchar_t ch);
// Asks the loop to end as the program's Exit does (the display was closed).
void RequestClose();

// The clipboard: the text is kept (what GetClipboardText gives back, also
// headless) and offered on the desktop's clipboard when the display has one.
// False when there was no desktop clipboard to offer it on.
bool SetClipboardText(const std::wstring& text);
std::wstring GetClipboardText();

// Extra descriptors the message loop waits on; `ready` runs on the UI
// thread when the descriptor is readable (folder watching, sockets).
void AddLoopSource(int fd, std::function<void()> ready);
void RemoveLoopSource(int fd);

// Runs when a message loop would wait while the clock is virtual: tests use
// it to script what happens inside modal loops. Returns whether it did
// something; null removes it.
void SetIdleHandler(std::function<bool()> handler);

}  // namespace ob::ui
