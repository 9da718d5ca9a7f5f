// The forecast file of one city: the XML the program's weather reader and
// the page templates read (weather/README.md describes every element).
#pragma once

#include <string>

#include "downloader/pump/OpenMeteo.h"

namespace OBPump {

struct ForecastFileInfo {
    double latitude = 0;  // the position asked for
    double longitude = 0;
    std::string issuedUtc;  // "2026-12-08T07:00:00Z"
};

// The whole file text, UTF-8 with its declaration. Missing values become
// absent elements, never empty ones.
std::string BuildForecastXml(const Forecast& forecast, const ForecastFileInfo& info);

// A number in the C locale with at most `decimals` decimals; `keepDecimals`
// keeps trailing zeros ("18.0"), otherwise they go ("7.4", "-2").
std::string FormatNumber(double value, int decimals, bool keepDecimals);

// ISO 8601 UTC text of a POSIX time ("2026-12-08T07:00:00Z").
std::string IsoUtc(long long unixSeconds);

}  // namespace OBPump
