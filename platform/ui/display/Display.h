// The device screen and the displays that show it: a headless one that keeps
// the screen in memory (tests, screenshots, demos) and an SDL2 window on a
// desktop. The screen's size and density are chosen once at start.
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
// The device screens: QVGA 240x320 at 96 dpi, VGA 480x640 at 192 dpi, and
// their landscape forms. "WxH" picks the density from the size.
bool ParseScreenMode(std::string_view text, ScreenMode& mode);

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
};

// Starts the window system on a screen shown by the given kind of display:
// "headless" or "sdl". Returns false when that display cannot start (no
// desktop); the screen then stays headless.
bool StartScreen(const ScreenMode& mode, std::string_view display = "headless");
ScreenMode CurrentScreenMode();
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

// Extra descriptors the message loop waits on; `ready` runs on the UI
// thread when the descriptor is readable (folder watching, sockets).
void AddLoopSource(int fd, std::function<void()> ready);
void RemoveLoopSource(int fd);

// Runs when a message loop would wait while the clock is virtual: tests use
// it to script what happens inside modal loops. Returns whether it did
// something; null removes it.
void SetIdleHandler(std::function<bool()> handler);

}  // namespace ob::ui
