// Entry point of orbelline. A command-line mode (--clock, --info, --help,
// --version) runs and ends; without one the program opens its window.
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/CommandLine.h"

namespace {

// Starts the program's window. Until the window exists, the program shows
// the world clock for the chosen cities instead.
int RunWindow(int argc, char** argv, const ob::cli::CliOptions& options) {
    (void)argc;
    (void)argv;
    return ob::cli::RunClock(options);
}

}  // namespace

int main(int argc, char** argv) {
    // Dates, day names and the measurement system follow the user's locale;
    // numbers keep the C locale's decimal point.
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_TIME, "");
    std::setlocale(LC_MEASUREMENT, "");

    const std::vector<std::string> args(argv + 1, argv + argc);
    const ob::cli::ParseResult parsed = ob::cli::ParseCommandLine(args);
    if (!parsed.ok) {
        std::fprintf(stderr, "orbelline: %s (see orbelline --help)\n", parsed.error.c_str());
        return ob::cli::kExitUsage;
    }
    if (parsed.options.mode == ob::cli::Mode::Window)
        return RunWindow(argc, argv, parsed.options);
    return ob::cli::RunCommandLine(parsed.options);
}
