// Entry point of orbelline. A command-line mode (--clock, --info, --help,
// --version) runs and ends; --headless --screenshot renders one screen of
// the program into a picture; otherwise the program opens its window.
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "app/OrbellineApp.h"
#include "cli/CliOptions.h"
#include "cli/CommandLine.h"
#include "cli/WindowOptions.h"
#include "dialogs/ScreenshotDialogs.h"
#include "model/AppSettings.h"
#include "platform/kernel/Clock.h"
#include "platform/kernel/NamedEvent.h"
#include "platform/ui/Windows.h"
#include "platform/ui/display/Display.h"
#include "weather/DownloaderControl.h"

namespace {

int UsageError(const std::string& message) {
    std::fprintf(stderr, "orbelline: %s (see orbelline --help)\n", message.c_str());
    return ob::cli::kExitUsage;
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
    bool saved = false;
    try {
        saved = ob::ui::SaveScreenshot(path);
    } catch (const std::bad_alloc&) {
    }
    if (!saved)
        std::fprintf(stderr, "orbelline: cannot write '%s'\n", path.c_str());
    std::fflush(nullptr);
    ::_exit(saved ? ob::cli::kExitOk : ob::cli::kExitError);
}

int RunScreenshot(const ob::cli::WindowOptions& options) {
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

int RunWindow(const ob::cli::WindowOptions& options, const ob::cli::CliOptions& cli) {
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

int Run(int argc, char** argv) {
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
    ob::cli::WindowOptions window;
    std::string error;
    if (!ob::cli::TakeWindowOptions(args, window, error))
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
        std::fputs(ob::cli::WindowUsageText(), stdout);
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    // Past start-up each window message that runs out of memory fails alone;
    // before it (tables, screen, windows) the program cannot start, and says so.
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("orbelline: not enough memory to go on\n", stderr);
        std::fflush(nullptr);
        ::_exit(ob::cli::kExitError);
    }
}
