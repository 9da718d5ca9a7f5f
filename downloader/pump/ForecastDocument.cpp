#include "downloader/pump/ForecastDocument.h"

#include <pugixml.hpp>

#include <charconv>
#include <cmath>
#include <ctime>

#include "downloader/pump/WeatherCodes.h"

namespace OBPump {
namespace {

void Text(pugi::xml_node parent, const char* name, const std::string& text) {
    parent.append_child(name).text().set(text.c_str());
}

void Temperature(pugi::xml_node day, const char* name, const std::optional<double>& value) {
    if (!value)
        return;
    pugi::xml_node temperature = day.append_child(name).append_child("temperature");
    Text(temperature, "ambient", FormatNumber(*value, 1, false));
    Text(temperature, "units", "0");  // always Celsius
}

void Day(pugi::xml_node days, const DailyForecast& d) {
    pugi::xml_node day = days.append_child("forecastDay");
    pugi::xml_node date = day.append_child("date");
    Text(date, "day", std::to_string(d.day));
    Text(date, "month", std::to_string(d.month));
    Text(date, "year", std::to_string(d.year));
    Temperature(day, "high", d.temperatureMax);
    Temperature(day, "low", d.temperatureMin);

    pugi::xml_node part = day.append_child("dayPart");
    pugi::xml_node display = part.append_child("display");
    const WeatherLook look = LookForCode(d.weatherCode);
    Text(display, "icon", look.icon);
    Text(display, "conditions", look.conditions);
    if (d.weatherCode)
        Text(display, "weatherCode", std::to_string(*d.weatherCode));

    if (d.precipitationSum || d.precipitationProbability) {
        pugi::xml_node rain = part.append_child("precipitation");
        if (d.precipitationSum) {
            Text(rain, "amount", FormatNumber(*d.precipitationSum, 1, true));
            Text(rain, "units", "mm");
        }
        if (d.precipitationProbability)
            Text(rain, "probability", FormatNumber(*d.precipitationProbability, 0, false));
    }
    if (d.windSpeedMax || d.windDirection) {
        pugi::xml_node wind = part.append_child("wind");
        if (d.windSpeedMax) {
            Text(wind, "speed", FormatNumber(*d.windSpeedMax, 1, true));
            Text(wind, "units", "km/h");
        }
        if (d.windDirection) {
            // 359.6 rounds to 360, which is written as 0 like the compass reads it.
            const long degrees = std::lround(*d.windDirection) % 360;
            Text(wind, "direction", std::to_string(degrees));
            Text(wind, "compass", CompassPoint(static_cast<double>(degrees)));
        }
    }
}

class StringWriter : public pugi::xml_writer {
public:
    std::string text;
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
};

}  // namespace

std::string FormatNumber(double value, int decimals, bool keepDecimals) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (!keepDecimals && text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
    }
    // Rounding can leave a negative zero ("-0.0"); the files never show one.
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

std::string IsoUtc(long long unixSeconds) {
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm fields{};
    gmtime_r(&t, &fields);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &fields);
    return buffer;
}

std::string BuildForecastXml(const Forecast& forecast, const ForecastFileInfo& info) {
    pugi::xml_document doc;
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";

    // The root carries no attributes: the program finds its start tag by its exact text.
    pugi::xml_node root = doc.append_child("obWeather");
    pugi::xml_node location = root.append_child("location");
    Text(location, "latitude", FormatNumber(info.latitude, 4, false));
    Text(location, "longitude", FormatNumber(info.longitude, 4, false));
    if (!forecast.timezone.empty())
        Text(location, "timezone", forecast.timezone);

    pugi::xml_node body = root.append_child("forecast");
    Text(body, "issued", info.issuedUtc);
    Text(body, "source", "Open-Meteo");
    pugi::xml_node days = body.append_child("forecastDays");
    for (const DailyForecast& d : forecast.days)
        Day(days, d);

    StringWriter writer;
    doc.save(writer, "  ", pugi::format_default, pugi::encoding_utf8);
    return writer.text;
}

}  // namespace OBPump
