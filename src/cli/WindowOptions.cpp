#include "cli/WindowOptions.h"

#include <cstdio>

#include "cli/CliOptions.h"

namespace ob::cli {
namespace {

constexpr const char* kWindowUsage =
    "       orbelline [--screen WxH[@DPI]] [--at TIME]\n"
    "       orbelline --headless --screenshot FILE [--view map|planner|weather] [--dialog NAME] [--screen "
    "WxH]\n"
    "                 [--at TIME]\n"
    "  --headless       draw into memory instead of a window (needs --screenshot)\n"
    "  --screenshot F   start, draw the first screen into the PNG file F and end\n"
    "  --view V         the view to show: map, planner or weather (default: the stored one)\n"
    "  --dialog NAME    show that dialog open over the view (cities, home, ...)\n"
    "  --select ROW     select that row of the view's city list first (0: the home city)\n"
    "  --screen WxH[@DPI] the device screen, 240x240 and up, at 96 or 192 dpi (default: 192 from\n"
    "                   480x480 up); the window's first size (else the one kept from the last run)\n"
    "  --tap X,Y        with --screenshot: tap the screen at device pixel (X, Y) first (repeatable;\n"
    "                   with --dialog, on the open dialog)\n";

}  // namespace

bool TakeWindowOptions(std::vector<std::string>& args, WindowOptions& options, std::string& error) {
    std::vector<std::string> rest;
    bool windowOnly = false;
    std::string at;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--screenshot" || arg == "--view" || arg == "--screen" ||
                                arg == "--dialog" || arg == "--tap" || arg == "--select";
        // An option name is never taken as a value ("--screenshot --view map").
        if (takesValue && (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0)) {
            error = arg + " needs a value";
            return false;
        }
        if (arg == "--headless") {
            options.headless = windowOnly = true;
        } else if (arg == "--screenshot") {
            options.screenshot = args[++i];
            windowOnly = true;
        } else if (arg == "--view") {
            const std::string& v = args[++i];
            options.view = v == "map" ? 0 : v == "planner" ? 1 : v == "weather" ? 2 : -2;
            if (options.view < 0) {
                error = "unknown view '" + v + "' (map, planner or weather)";
                return false;
            }
            windowOnly = true;
        } else if (arg == "--dialog") {
            options.dialog = OBScreenshot::FindDialogEntry(args[++i]);
            if (!options.dialog) {
                error = "unknown dialog '" + args[i] + "' (" + OBScreenshot::DialogNames() + ")";
                return false;
            }
            windowOnly = true;
        } else if (arg == "--tap") {
            int x = -1, y = -1;
            char end = 0;
            if (std::sscanf(args[++i].c_str(), "%d,%d%c", &x, &y, &end) != 2 || x < 0 || y < 0) {
                error = "bad tap '" + args[i] + "' (such as 120,60)";
                return false;
            }
            options.taps.push_back(POINT{x, y});
            windowOnly = true;
        } else if (arg == "--select") {
            const std::string& row = args[++i];
            options.select =
                row.empty() || row.size() > 4 || row.find_first_not_of("0123456789") != std::string::npos
                    ? -2
                    : std::stoi(row);
            if (options.select < 0) {
                error = "bad row '" + row + "' (0 is the home city)";
                return false;
            }
            windowOnly = true;
        } else if (arg == "--screen") {
            if (!ob::ui::ParseScreenMode(args[++i], options.screen)) {
                error = "bad screen '" + args[i] + "' (WxH or WxH@DPI: 240x240 and up, 96 or 192 dpi)";
                return false;
            }
            options.screenGiven = true;
            options.used = true;
        } else {
            rest.push_back(arg);
        }
    }
    options.used = options.used || windowOnly;
    if (options.used) {
        // --at goes with the window too.
        for (std::size_t i = 0; i < rest.size(); ++i) {
            if (rest[i] != "--at")
                continue;
            if (i + 1 >= rest.size() || !ParseIsoUtc(rest[i + 1], options.atTicks)) {
                error = "--at needs a time such as 2008-01-15T12:00:00Z, from " + AcceptedTimeRange();
                return false;
            }
            options.hasAt = true;
            rest.erase(rest.begin() + static_cast<long>(i), rest.begin() + static_cast<long>(i) + 2);
            break;
        }
        if (!rest.empty()) {
            error = "'" + rest.front() + "' does not go with the window's options";
            return false;
        }
        if (options.headless != !options.screenshot.empty()) {
            error = "--headless and --screenshot go together";
            return false;
        }
    }
    args = rest;
    return true;
}

const char* WindowUsageText() { return kWindowUsage; }

}  // namespace ob::cli
