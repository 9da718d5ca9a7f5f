// The forecasts the downloader left in the weather data folder, for the
// terminal: as text for people, as tab-separated values and as JSON.
#pragma once

#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "weather/ForecastDays.h"

namespace ob::cli {

// The columns of the tsv form, in order.
extern const std::vector<std::string> kWeatherColumns;
// The keys of the json form, in order: the tsv columns with the
// temperatures as numbers, then both in Celsius whatever the unit asked.
extern const std::vector<std::string> kWeatherJsonKeys;

struct CityForecast {
    int id = 0;
    std::wstring name;
    std::vector<OBWeather::ForecastDay> days;  // none: no readable forecast
};

// `unit` is the "temperature_units" setting: 1 Fahrenheit, otherwise Celsius.
std::string FormatWeather(const std::vector<CityForecast>& cities, OutputFormat format, int unit);

// A temperature as the file holds it, or in Fahrenheit with one decimal;
// empty when the file gives none.
std::string TemperatureText(const std::wstring& text, int fileUnit, double celsius, int unit);

}  // namespace ob::cli
