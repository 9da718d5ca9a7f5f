#include "cli/WeatherOutput.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "cli/ClockOutput.h"
#include "platform/kernel/WideText.h"
#include "time/DateTime.h"
#include "time/DisplayFormats.h"

namespace ob::cli {

const std::vector<std::string> kWeatherColumns = {"id",  "name",  "date", "high",
                                                  "low", "units", "icon", "conditions"};

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

std::vector<std::string> Values(const CityForecast& city, const OBWeather::ForecastDay& day, int unit) {
    using ob::kernel::ToUtf8;
    return {std::to_string(city.id),
            ToUtf8(city.name),
            DateText(day),
            TemperatureText(day.highText, day.highUnit, day.highCelsius, unit),
            TemperatureText(day.lowText, day.lowUnit, day.lowCelsius, unit),
            unit == 1 ? "F" : "C",
            ToUtf8(day.icon),
            ToUtf8(day.conditions)};
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

bool IsNumericColumn(const std::string& name) { return name == "id" || name == "high" || name == "low"; }

std::string Tsv(const std::vector<CityForecast>& cities, int unit) {
    std::string out;
    for (std::size_t i = 0; i < kWeatherColumns.size(); ++i)
        out += (i ? "\t" : "") + kWeatherColumns[i];
    out += '\n';
    for (const CityForecast& city : cities)
        for (const auto& day : city.days) {
            const auto values = Values(city, day, unit);
            for (std::size_t i = 0; i < values.size(); ++i)
                out += (i ? "\t" : "") + TsvField(values[i]);
            out += '\n';
        }
    return out;
}

std::string Json(const std::vector<CityForecast>& cities, int unit) {
    std::string out = "[";
    bool first = true;
    for (const CityForecast& city : cities)
        for (const auto& day : city.days) {
            out += first ? "\n  {" : ",\n  {";
            first = false;
            const auto values = Values(city, day, unit);
            for (std::size_t i = 0; i < values.size(); ++i) {
                out += (i ? ", " : "") + JsonString(kWeatherColumns[i]) + ": ";
                if (!IsNumericColumn(kWeatherColumns[i]))
                    out += JsonString(values[i]);
                else
                    out += values[i].empty() ? "null" : values[i];
            }
            out += "}";
        }
    out += first ? "]\n" : "\n]\n";
    return out;
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
    case OutputFormat::Tsv: return Tsv(cities, unit);
    case OutputFormat::Json: return Json(cities, unit);
    case OutputFormat::Text: break;
    }
    return Text(cities, unit);
}

}  // namespace ob::cli
