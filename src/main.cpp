// Entry point of orbelline. A command-line mode (--clock, --info, --help,
// --version) runs and ends; --headless --screenshot renders one screen of
// the program into a picture; otherwise the program opens its window.
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "app/OrbellineApp.h"
#include "cli/CliOptions.h"
#include "cli/CommandLine.h"
#include "dialogs/ScreenshotDialogs.h"
#include "model/AppSettings.h"
#include "platform/kernel/Clock.h"
#include "platform/kernel/NamedEvent.h"
#include "platform/ui/Windows.h"
#include "platform/ui/display/Display.h"
#include "weather/DownloaderControl.h"

namespace {

// The options of the window itself; the others belong to the command line.
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

int UsageError(const std::string& message) {
    std::fprintf(stderr, "orbelline: %s (see orbelline --help)\n", message.c_str());
    return ob::cli::kExitUsage;
}

// Takes the window's options out of `args`. False with a message for a bad one.
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
            if (i + 1 >= rest.size() || !ob::cli::ParseIsoUtc(rest[i + 1], options.atTicks)) {
                error =
                    "--at needs a time such as 2008-01-15T12:00:00Z, from " + ob::cli::AcceptedTimeRange();
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

// Dispatches everything waiting, paint included, until nothing is left.
void RunUntilIdle() {
    MSG msg;
    for (int n = 0; n < 100000 && ::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
        if (msg.message == WM_QUIT)
            break;
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
}

// A stylus tap: down and up at one point.
void Tap(POINT at) {
    ob::ui::InjectPen(0, at);
    ob::ui::InjectPen(2, at);
}

// Writes the picture and ends the process without the shut-down, which would
// save the settings.
[[noreturn]] void ShootAndEnd(const std::string& path) {
    const bool saved = ob::ui::SaveScreenshot(path);
    if (!saved)
        std::fprintf(stderr, "orbelline: cannot write '%s'\n", path.c_str());
    std::fflush(nullptr);
    ::_exit(saved ? ob::cli::kExitOk : ob::cli::kExitError);
}

int RunScreenshot(const WindowOptions& options) {
    if (!ob::ui::StartScreen(options.screen, "headless")) {
        std::fprintf(stderr, "orbelline: cannot start the headless screen\n");
        return ob::cli::kExitError;
    }
    // Time stands still, and the first time a loop would wait for the user
    // (a dialog's, once it is drawn) the picture is taken.
    ob::kernel::UseVirtualClock(options.hasAt ? options.atTicks : ob::kernel::UtcNowTicks());
    // With a dialog asked for, the taps land on it once it waits for the user.
    std::size_t tapped = options.dialog ? 0 : options.taps.size();
    ob::ui::SetIdleHandler([&options, &tapped]() -> bool {
        if (tapped == options.taps.size())
            ShootAndEnd(options.screenshot);
        Tap(options.taps[tapped++]);
        return true;
    });
    GetAppSettings().KeepFileAsItIs();
    OBWeather::SetDownloaderSignalling(false);
    OrbellineApp app;
    // A picture of the program is no second instance, starts no downloader,
    // asks nothing and leaves the settings file as it found it.
    app.SetSingleInstance(false);
    app.SetStartDownloader(false);
    app.SetAskForHomeCity(false);
    app.SetStartView(options.view);
    if (!app.InitInstance()) {
        std::fprintf(stderr, "orbelline: the main window could not be created\n");
        std::fflush(nullptr);
        ::_exit(ob::cli::kExitError);
    }
    RunUntilIdle();
    if (!options.dialog)
        for (const POINT& tap : options.taps) {
            Tap(tap);
            RunUntilIdle();
        }
    if (options.select >= 0 && !OBScreenshot::SelectRow(*app.GetAppMainWindow(), options.select)) {
        std::fprintf(stderr, "orbelline: the list has no row %d\n", options.select);
        std::fflush(nullptr);
        ::_exit(ob::cli::kExitError);
    }
    if (options.dialog) {
        options.dialog->open(*app.GetAppMainWindow());
        if (tapped == 0) {
            std::fprintf(stderr, "orbelline: the dialog did not open\n");
            std::fflush(nullptr);
            ::_exit(ob::cli::kExitError);
        }
        // A tap closed the dialog: the rest land on what is under it.
        RunUntilIdle();
        while (tapped < options.taps.size()) {
            Tap(options.taps[tapped++]);
            RunUntilIdle();
        }
    }
    ShootAndEnd(options.screenshot);
}

int RunWindow(const WindowOptions& options, const ob::cli::CliOptions& cli) {
    // The one-instance lock lives in the private runtime folder; without a
    // sound one another user could keep the program from starting.
    if (const std::string problem = ob::kernel::RuntimeFolderProblem(); !problem.empty()) {
        std::fprintf(stderr, "orbelline: %s\n", problem.c_str());
        return ob::cli::kExitError;
    }
    if (!ob::ui::StartScreen(options.screenGiven ? options.screen : ob::ui::ScreenMode{0, 0, 0}, "sdl")) {
        if (const char* desktop = std::getenv("DISPLAY"); desktop && *desktop)
            std::fprintf(stderr, "orbelline: cannot open a window on the desktop '%s' (is it running?)\n",
                         desktop);
        else
            std::fprintf(
                stderr,
                "orbelline: no display available (set DISPLAY, or use --headless --screenshot FILE)\n");
        return ob::cli::kExitError;
    }
    if (options.hasAt || cli.hasAt)
        ob::kernel::SetClockOverride(options.hasAt ? options.atTicks : cli.atTicks, true);
    int code = 0;
    {
        OrbellineApp app;
        code = app.RunEntrySequence(nullptr);
        if (app.BroughtOtherForward())
            std::fprintf(stderr, "orbelline: already running; brought its window to the front\n");
    }
    ob::ui::StopScreen();
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    // A file size limit (ulimit -f) would kill the program in the middle of
    // a save; ignored, the write fails with EFBIG like a full disk, the old
    // file stays and the user is told.
    std::signal(SIGXFSZ, SIG_IGN);
    // Dates, day names and the measurement system follow the user's locale;
    // numbers keep the C locale's decimal point.
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_TIME, "");
    std::setlocale(LC_MEASUREMENT, "");

    std::vector<std::string> args(argv + 1, argv + argc);
    WindowOptions window;
    std::string error;
    if (!TakeWindowOptions(args, window, error))
        return UsageError(error);
    if (!window.headless && window.used && window.screenshot.empty() && args.empty())
        return RunWindow(window, ob::cli::CliOptions{});
    if (window.headless)
        return RunScreenshot(window);

    const ob::cli::ParseResult parsed = ob::cli::ParseCommandLine(args);
    if (!parsed.ok)
        return UsageError(parsed.error);
    if (parsed.options.mode == ob::cli::Mode::Window)
        return RunWindow(window, parsed.options);
    const int code = ob::cli::RunCommandLine(parsed.options);
    if (parsed.options.mode == ob::cli::Mode::Help)
        std::fputs(kWindowUsage, stdout);
    return code;
}
