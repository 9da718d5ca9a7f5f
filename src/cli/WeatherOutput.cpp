#include "cli/WeatherOutput.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "cli/TableWriter.h"
#include "platform/kernel/WideText.h"
#include "time/DateTime.h"
#include "time/DisplayFormats.h"

namespace ob::cli {

const std::vector<std::string> kWeatherColumns = {"id",  "name",  "date", "high",
                                                  "low", "units", "icon", "conditions"};
const std::vector<std::string> kWeatherJsonKeys = {
    "id", "name", "date", "high", "low", "units", "icon", "conditions", "high_celsius", "low_celsius"};

namespace {

std::string OneDecimal(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string DateText(const OBWeather::ForecastDay& day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.year, day.month, day.day);
    return text;
}

// The temperature columns as the file's text or its Fahrenheit, and as a
// JSON number (null when the file gives none).
Cell Temperature(const std::wstring& text, int fileUnit, double celsius, int unit, bool asNumber) {
    const std::string value = TemperatureText(text, fileUnit, celsius, unit);
    if (!asNumber)
        return value;
    if (value.empty())
        return nullptr;
    double number = 0;
    std::from_chars(value.data(), value.data() + value.size(), number);
    return number;
}

Cell CelsiusOrNull(const std::wstring& text, double celsius) {
    if (text.empty() || !std::isfinite(celsius))
        return nullptr;
    return celsius;
}

std::vector<Cell> Cells(const CityForecast& city, const OBWeather::ForecastDay& day, int unit, bool json) {
    using ob::kernel::ToUtf8;
    std::vector<Cell> cells = {std::int64_t{city.id},
                               ToUtf8(city.name),
                               DateText(day),
                               Temperature(day.highText, day.highUnit, day.highCelsius, unit, json),
                               Temperature(day.lowText, day.lowUnit, day.lowCelsius, unit, json),
                               std::string(unit == 1 ? "F" : "C"),
                               ToUtf8(day.icon),
                               ToUtf8(day.conditions)};
    if (json) {
        cells.push_back(CelsiusOrNull(day.highText, day.highCelsius));
        cells.push_back(CelsiusOrNull(day.lowText, day.lowCelsius));
    }
    return cells;
}

Table Rows(const std::vector<CityForecast>& cities, int unit, bool json) {
    Table table{json ? kWeatherJsonKeys : kWeatherColumns, {}};
    for (const CityForecast& city : cities)
        for (const auto& day : city.days)
            table.rows.push_back(Cells(city, day, unit, json));
    return table;
}

// "-2", "7.4": an optional minus, digits without a leading zero, and at most
// one point with digits after it (what JSON takes as a number too).
bool IsPlainDecimal(const std::wstring& text) {
    std::size_t i = text.size() > 1 && text[0] == L'-' ? 1 : 0;
    if (i + 1 < text.size() && text[i] == L'0' && text[i + 1] != L'.')
        return false;
    std::size_t digits = 0, point = 0;
    for (; i < text.size(); ++i) {
        if (text[i] == L'.' && point == 0 && digits > 0)
            point = i;
        else if (text[i] >= L'0' && text[i] <= L'9')
            ++digits;
        else
            return false;
    }
    return digits > 0 && text.size() <= 32 && (point == 0 || point + 1 < text.size());
}

std::string Text(const std::vector<CityForecast>& cities, int unit) {
    if (cities.empty())
        return "No cities chosen: choose them in the program or name them with --cities.\n";
    const std::wstring units = unit == 1 ? L" F" : L" C";
    // One table for all cities, so that the columns line up across them.
    std::vector<std::vector<std::wstring>> lines;
    for (const CityForecast& city : cities) {
        const std::wstring heading = city.name + L" (" + std::to_wstring(city.id) + L")";
        if (city.days.empty()) {
            lines.push_back({heading + L": no forecast"});
            continue;
        }
        lines.push_back({heading});
        for (const auto& day : city.days) {
            const ZEP_Utility::DateTime date(day.year, day.month, day.day);
            auto temperature = [&](const std::wstring& text, int fileUnit, double celsius) {
                const std::string value = TemperatureText(text, fileUnit, celsius, unit);
                return value.empty() ? std::wstring(L"-") : ob::kernel::FromUtf8(value) + units;
            };
            lines.push_back({L"  " + ob::kernel::FromUtf8(DateText(day)) + L" " + date.FormatDate(L"ddd"),
                             temperature(day.highText, day.highUnit, day.highCelsius),
                             temperature(day.lowText, day.lowUnit, day.lowCelsius), day.icon,
                             day.conditions});
        }
    }
    return AlignedColumns(lines);
}

}  // namespace

std::string TemperatureText(const std::wstring& text, int fileUnit, double celsius, int unit) {
    if (text.empty())
        return std::string();
    const double value = unit == 1 ? OBData::CelsiusToFahrenheit(celsius) : celsius;
    if (!std::isfinite(value))
        return std::string();
    if (unit == 1 || fileUnit == 1)
        return OneDecimal(value);
    // The number the file holds: its own text when that is a plain decimal,
    // otherwise the value read from it (a text that is no number reads as 0,
    // as the list shows it).
    if (IsPlainDecimal(text))
        return ob::kernel::ToUtf8(text);
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string FormatWeather(const std::vector<CityForecast>& cities, OutputFormat format, int unit) {
    switch (format) {
    case OutputFormat::Tsv: return WriteTsv(Rows(cities, unit, false));
    case OutputFormat::Json: return WriteJson(Rows(cities, unit, true));
    case OutputFormat::Text: break;
    }
    return Text(cities, unit);
}

}  // namespace ob::cli
