// The forecast service's request and answer: a daily forecast for one
// position, asked of Open-Meteo's forecast API (or a service that speaks the
// same JSON), and the checks an answer must pass before it may replace a
// city's forecast file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace OBPump {

constexpr const char* kDefaultServiceUrl = "https://api.open-meteo.com/v1/forecast";
constexpr int kForecastDays = 7;

struct ForecastRequest {
    double latitude = 0;
    double longitude = 0;
    // "auto" lets the service take the zone from the position, so the days
    // are the city's own calendar days.
    std::string timezone = "auto";
    // The program's own date may be a day behind a city's, so yesterday is
    // asked for too: 1 + 7 days.
    int pastDays = 1;
    int days = kForecastDays;
};

// The request URL: the service address plus the query. Only the position,
// the zone choice, the day count and the variable names are sent.
std::string BuildForecastUrl(const std::string& serviceUrl, const ForecastRequest& request);

struct DailyForecast {
    int year = 0;
    int month = 0;
    int day = 0;
    // Each value may be missing: the service answers null where a model has no data.
    std::optional<int> weatherCode;
    std::optional<double> temperatureMax;            // degrees Celsius
    std::optional<double> temperatureMin;            // degrees Celsius
    std::optional<double> precipitationSum;          // millimetres
    std::optional<double> precipitationProbability;  // percent
    std::optional<double> windSpeedMax;              // km/h at 10 m
    std::optional<double> windDirection;             // degrees, where the wind comes from
};

struct Forecast {
    std::string timezone;  // the zone the service used for the dates, as it names it
    std::vector<DailyForecast> days;
};

struct ParsedForecast {
    std::optional<Forecast> forecast;
    std::string error;  // why the answer was refused; empty when accepted
};

// Reads and checks a forecast answer. Anything malformed, inconsistent or
// implausible is refused as a whole, so a bad answer never reaches a file.
ParsedForecast ParseForecast(std::string_view json);

// The reason an error answer gives ({"error":true,"reason":"..."}), or empty.
std::string ServiceErrorReason(std::string_view body);

}  // namespace OBPump
