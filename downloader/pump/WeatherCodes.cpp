#include "downloader/pump/WeatherCodes.h"

#include <cmath>

namespace OBPump {
namespace {

struct CodeRow {
    int code;
    WeatherLook look;
};

constexpr CodeRow kCodes[] = {
    {0, {"sunny", "Clear sky"}},
    {1, {"mostly_sunny", "Mainly clear"}},
    {2, {"partly_cloudy", "Partly cloudy"}},
    {3, {"cloudy", "Overcast"}},
    {45, {"fog", "Fog"}},
    {48, {"fog", "Depositing rime fog"}},
    {51, {"drizzle", "Light drizzle"}},
    {53, {"drizzle", "Drizzle"}},
    {55, {"drizzle", "Dense drizzle"}},
    {56, {"freezing_drizzle", "Light freezing drizzle"}},
    {57, {"freezing_drizzle", "Dense freezing drizzle"}},
    {61, {"light_rain", "Light rain"}},
    {63, {"rain", "Rain"}},
    {65, {"heavy_rain", "Heavy rain"}},
    {66, {"freezing_rain", "Light freezing rain"}},
    {67, {"freezing_rain", "Heavy freezing rain"}},
    {71, {"light_snow", "Light snow"}},
    {73, {"snow", "Snow"}},
    {75, {"heavy_snow", "Heavy snow"}},
    {77, {"snow_grains", "Snow grains"}},
    {80, {"showers", "Light rain showers"}},
    {81, {"showers", "Rain showers"}},
    {82, {"heavy_showers", "Violent rain showers"}},
    {85, {"snow_showers", "Light snow showers"}},
    {86, {"snow_showers", "Heavy snow showers"}},
    {95, {"thunderstorm", "Thunderstorm"}},
    {96, {"thunderstorm_hail", "Thunderstorm with light hail"}},
    {99, {"thunderstorm_hail", "Thunderstorm with heavy hail"}},
};

constexpr WeatherLook kNoReport = {"no_report", "No report"};

}  // namespace

WeatherLook LookForCode(std::optional<int> code) {
    if (code)
        for (const CodeRow& row : kCodes)
            if (row.code == *code)
                return row.look;
    return kNoReport;
}

const char* CompassPoint(double degrees) {
    static const char* const kPoints[] = {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
                                          "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};
    double d = std::fmod(degrees, 360.0);
    if (d < 0)
        d += 360.0;
    // Each point is centred on its direction: N spans 348.75 up to 11.25.
    const int index = static_cast<int>(std::floor((d + 11.25) / 22.5)) % 16;
    return kPoints[index];
}

}  // namespace OBPump
