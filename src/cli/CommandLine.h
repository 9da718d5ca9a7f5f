// The command-line modes: the world clock and the city information page for
// terminals and scripts. They read "settings.csv" as the program does but
// never write it, take no single-instance lock and start no downloader.
#pragma once

#include <string>

#include "cli/CliOptions.h"

namespace ob::cli {

constexpr const char* kVersion = "1.0.0";

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitError = 1;  // an unknown city id
constexpr int kExitUsage = 2;  // an unknown option, a bad TIME or LIST, a name of no city or of several

// Runs a parsed command line other than the window: --clock, --info, --help
// and --version. Output goes to stdout, errors to stderr.
int RunCommandLine(const CliOptions& options);

// The world clock, for --clock and, until the window exists, for no mode.
int RunClock(const CliOptions& options);

}  // namespace ob::cli
