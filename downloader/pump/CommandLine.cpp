#include "downloader/pump/CommandLine.h"

#include <cerrno>
#include <cstdlib>

#include "downloader/pump/OpenMeteo.h"

namespace OBPump {

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    ParsedCommandLine parsed;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (arg == "--once") {
            parsed.options.once = true;
        } else if (arg == "--help" || arg == "-h") {
            parsed.options.help = true;
        } else if (arg == "--service-url" || arg.rfind("--service-url=", 0) == 0) {
            std::string url;
            if (arg == "--service-url") {
                if (i + 1 >= arguments.size()) {
                    parsed.error = "--service-url needs a URL";
                    return parsed;
                }
                url = arguments[++i];
            } else {
                url = arg.substr(14);
            }
            if (!IsUsableServiceUrl(url)) {
                parsed.error = "--service-url: " + UnusableUrlMessage(url);
                return parsed;
            }
            parsed.options.serviceUrl = url;
        } else {
            parsed.error = "unknown option: " + arg;
            return parsed;
        }
    }
    return parsed;
}

std::string HelpText() {
    return "Usage: ForecastPumpCF [--once] [--service-url URL]\n"
           "\n"
           "Fetches daily weather forecasts for the cities chosen in Orbelline and writes\n"
           "them to weather/data beside this program (installed: to\n"
           "~/.cache/orbelline/weather/data). Only each city's position is sent.\n"
           "\n"
           "Without options it runs in the background as Orbelline starts it: it fetches\n"
           "when Orbelline asks, every three hours while automatic updates are on, and\n"
           "stops when Orbelline tells it to.\n"
           "\n"
           "  --once             fetch every city now and exit (status 0 when every city\n"
           "                     succeeded, 1 otherwise); gives up after " +
           std::to_string(kOnceDeadlineSeconds) +
           " seconds\n"
           "  --service-url URL  use this forecast service instead of\n"
           "                     " +
           std::string(kDefaultServiceUrl) +
           "\n"
           "  --help             show this text\n"
           "\n"
           "Environment: ORBELLINE_FORECAST_URL sets the service when no option does;\n"
           "ORBELLINE_FORECAST_TIMEOUT_MS limits the time of one request (1 to 600000).\n"
           "An invalid URL or time limit is refused (status 2).\n";
}

std::string UnusableUrlMessage(const std::string& url) {
    return "not a usable service URL (http or https, a host, no #fragment): " + url;
}

bool ResolveServiceUrl(const PumpOptions& options, std::string& url, std::string& error) {
    if (!options.serviceUrl.empty()) {
        url = options.serviceUrl;
        return true;
    }
    if (const char* env = std::getenv(kServiceUrlVariable); env && *env) {
        if (!IsUsableServiceUrl(env)) {
            error = std::string(kServiceUrlVariable) + ": " + UnusableUrlMessage(env);
            return false;
        }
        url = env;
        return true;
    }
    url = kDefaultServiceUrl;
    return true;
}

bool TimeoutFromEnvironment(std::optional<long>& timeout, std::string& error) {
    timeout.reset();
    const char* env = std::getenv(kTimeoutVariable);
    if (!env || !*env)
        return true;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(env, &end, 10);
    if (errno != 0 || *end != '\0' || *env < '0' || *env > '9' || value < 1 || value > 600'000) {
        error =
            std::string(kTimeoutVariable) + ": not a whole number of milliseconds from 1 to 600000: " + env;
        return false;
    }
    timeout = value;
    return true;
}

bool IsUsableServiceUrl(const std::string& url) {
    size_t hostStart;
    if (url.rfind("https://", 0) == 0)
        hostStart = 8;
    else if (url.rfind("http://", 0) == 0)
        hostStart = 7;
    else
        return false;
    if (url.size() <= hostStart || url[hostStart] == '/')
        return false;
    for (unsigned char c : url)
        if (c <= ' ' || c == 0x7f || c == '#')
            return false;
    return true;
}

}  // namespace OBPump
