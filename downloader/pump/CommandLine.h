// ForecastPumpCF's command line. Without options it runs as the program
// starts it: in the background until told to stop.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace OBPump {

struct PumpOptions {
    bool once = false;  // fetch every city now, then exit
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

// The service URL to use: the option, else the environment, else the public
// service. False with `error` set when the environment names an unusable URL.
bool ResolveServiceUrl(const PumpOptions& options, std::string& url, std::string& error);

// The request time limit from the environment: empty when the variable is
// unset or empty; false with `error` set when it is not a whole number of
// milliseconds from 1 to 600000.
bool TimeoutFromEnvironment(std::optional<long>& timeout, std::string& error);

// Whether a service URL is one the downloader will use: http or https, a
// host, no white space or control characters, and no "#fragment" (which would
// cut off the query the downloader appends).
bool IsUsableServiceUrl(const std::string& url);

// The one message for a URL that is not usable, from the option or the environment.
std::string UnusableUrlMessage(const std::string& url);

// The longest a --once run may take as a whole; what is not fetched by then
// counts as failed.
constexpr long kOnceDeadlineSeconds = 300;

}  // namespace OBPump
