// The UI test driver: tests create real windows on the headless screen under
// a virtual clock, then tap, hold, drag, press keys, type, let time pass,
// run the loop until nothing is left to do, find windows, dump the window
// tree, read pixels and save screenshots.
#pragma once

#include "platform/ui/Windows.h"
#include "platform/ui/display/Display.h"

#include <deque>
#include <functional>
#include <string>

namespace ob::ui::testing {

class UiDriver {
public:
    // Starts the window system on a headless screen ("240x320", "480x640",
    // ...) with the clock stopped at a fixed instant.
    explicit UiDriver(const std::string& screen = "240x320");
    ~UiDriver();
    UiDriver(const UiDriver&) = delete;
    UiDriver& operator=(const UiDriver&) = delete;

    // Dispatches everything waiting (posted, input, paint, due timers) until
    // the queue is empty. Returns the number of messages dispatched.
    int RunUntilIdle();
    // Moves the virtual clock forward in steps, firing timers on the way.
    void Advance(unsigned ms);

    // Pen input at screen coordinates, or at the centre of a window.
    void Tap(POINT screen);
    void Tap(HWND hwnd);
    void PenDown(POINT screen);
    void PenMove(POINT screen);
    void PenUp(POINT screen);
    // Holds the pen still for `ms` milliseconds (tap-and-hold), then lifts it.
    void Hold(POINT screen, unsigned ms = 800);
    void Drag(POINT from, POINT to, int steps = 4);
    // Keys by virtual key; text as characters. KeyWith holds `modifier`
    // (VK_CONTROL, VK_SHIFT, VK_MENU) around the key.
    void Key(UINT virtualKey);
    void KeyWith(UINT modifier, UINT virtualKey);
    void Type(const std::wstring& text);

    // What the program's own loop does with a message before dispatching it
    // (accelerators, the dialog manager): RunUntilIdle calls it first and
    // skips the message when it returns true.
    void SetMessageFilter(std::function<bool(MSG&)> filter) { m_filter = std::move(filter); }

    // Runs `step` the next time a loop (a modal dialog, a menu, a gesture)
    // waits for the user; steps run in order, one per wait.
    void WhenIdle(std::function<void()> step);
    bool PendingIdleSteps() const { return !m_steps.empty(); }

    // Windows: by control id under a parent (or anywhere), by class, by text.
    HWND FindById(int id, HWND parent = nullptr) const;
    HWND FindByClass(const std::wstring& className, HWND parent = nullptr) const;
    HWND FindByText(const std::wstring& text, HWND parent = nullptr) const;
    // One line per window, indented by depth: class, id, text, rectangle,
    // visible, enabled, checked and selected where they apply.
    std::string DumpTree(HWND root = nullptr) const;

    COLORREF Pixel(int x, int y);
    bool Screenshot(const std::string& path);
    // A folder for test output under the build's test folder.
    static std::string OutputPath(const std::string& name);

private:
    std::deque<std::function<void()>> m_steps;
    std::function<bool(MSG&)> m_filter;
};

POINT CentreOf(HWND hwnd);

}  // namespace ob::ui::testing
