// ForecastPumpCF's command line. Without options it runs as the program
// starts it: in the background until told to stop.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace OBPump {

struct PumpOptions {
    bool once = false;     // fetch every city now, then exit
    bool help = false;
    std::string serviceUrl;  // empty: the environment's or the public service
};

struct ParsedCommandLine {
    PumpOptions options;
    std::string error;  // one line naming what was wrong; empty when fine
};

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

std::string HelpText();

// Environment settings, for tests and for running against a mirror when the
// program starts the downloader (it passes no arguments):
//   ORBELLINE_FORECAST_URL         the service address (--service-url wins)
//   ORBELLINE_FORECAST_TIMEOUT_MS  total time limit of one request
constexpr const char* kServiceUrlVariable = "ORBELLINE_FORECAST_URL";
constexpr const char* kTimeoutVariable = "ORBELLINE_FORECAST_TIMEOUT_MS";

// The service URL to use: the option, else the environment, else the public service.
std::string ResolveServiceUrl(const PumpOptions& options);

// The request time limit from the environment, when it holds a sane number.
std::optional<long> TimeoutFromEnvironment();

// Whether a service URL is one the downloader will use (http or https, a host).
bool IsUsableServiceUrl(const std::string& url);

}  // namespace OBPump
