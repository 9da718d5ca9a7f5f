// The window's own options on the command line (--headless, --screenshot,
// --view, --dialog, --select, --screen, --tap and, with them, --at). They are
// taken out before the command line's modes are read; what is left belongs
// to those.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/ScreenshotDialogs.h"
#include "platform/ui/Windows.h"
#include "platform/ui/display/Display.h"

namespace ob::cli {

struct WindowOptions {
    bool used = false;  // any of them was given
    bool headless = false;
    std::string screenshot;
    const OBScreenshot::DialogEntry* dialog = nullptr;
    int select = -1;  // the list row to select; -1: the home row
    int view = -1;
    ob::ui::ScreenMode screen;
    bool screenGiven = false;  // else the desktop window's size sets the screen
    bool hasAt = false;
    std::int64_t atTicks = 0;
    std::vector<POINT> taps;  // --tap X,Y: stylus taps before the picture
};

// Takes the window's options out of `args`, leaving the rest in order. False
// with a one-line message in `error` for a bad one, or for an option that does
// not go with them.
bool TakeWindowOptions(std::vector<std::string>& args, WindowOptions& options, std::string& error);

// The lines --help prints for the window after the command line's own.
const char* WindowUsageText();

}  // namespace ob::cli
