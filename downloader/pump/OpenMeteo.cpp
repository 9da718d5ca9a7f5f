#include "downloader/pump/OpenMeteo.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <charconv>
#include <cmath>
#include <set>
#include <tuple>

namespace OBPump {
namespace {

using nlohmann::json;

constexpr const char* kDailyVariables =
    "weather_code,temperature_2m_max,temperature_2m_min,precipitation_sum,"
    "precipitation_probability_max,wind_speed_10m_max,wind_direction_10m_dominant";

// Fixed-point text that does not depend on the process locale.
std::string Coordinate(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4);
    return std::string(buffer, result.ptr);
}

// Escapes what a query value may not hold as is.
std::string QueryValue(std::string_view text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~' || c == '/') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : days[month - 1];
}

// "YYYY-MM-DD" exactly, and a real calendar date.
bool ParseDate(const std::string& text, DailyForecast& day) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    auto number = [&](size_t from, size_t length, int& out) {
        const char* begin = text.data() + from;
        const char* end = begin + length;
        for (const char* p = begin; p != end; ++p)
            if (*p < '0' || *p > '9')
                return false;
        return std::from_chars(begin, end, out).ec == std::errc();
    };
    if (!number(0, 4, day.year) || !number(5, 2, day.month) || !number(8, 2, day.day))
        return false;
    return day.year >= 1601 && day.month >= 1 && day.month <= 12 && day.day >= 1 &&
           day.day <= DaysInMonth(day.year, day.month);
}

// Zone names are shown in the files and pages; anything that does not look
// like one ("Europe/Amsterdam", "GMT", "Etc/GMT+5") is left out.
bool IsZoneName(const std::string& text) {
    if (text.empty() || text.size() > 64)
        return false;
    for (unsigned char c : text)
        if (!std::isalnum(c) && c != '/' && c != '_' && c != '-' && c != '+')
            return false;
    return true;
}

struct Column {
    const char* name;
    double low;
    double high;
    std::optional<double> DailyForecast::*field;  // null for the weather code
};

const Column kColumns[] = {
    {"temperature_2m_max", -100, 100, &DailyForecast::temperatureMax},
    {"temperature_2m_min", -100, 100, &DailyForecast::temperatureMin},
    {"precipitation_sum", 0, 2000, &DailyForecast::precipitationSum},
    {"precipitation_probability_max", 0, 100, &DailyForecast::precipitationProbability},
    {"wind_speed_10m_max", 0, 500, &DailyForecast::windSpeedMax},
    {"wind_direction_10m_dominant", 0, 360, &DailyForecast::windDirection},
};

ParsedForecast Refuse(std::string why) {
    ParsedForecast result;
    result.error = std::move(why);
    return result;
}

}  // namespace

std::string BuildForecastUrl(const std::string& serviceUrl, const ForecastRequest& request) {
    std::string url = serviceUrl;
    url += serviceUrl.find('?') == std::string::npos ? '?' : '&';
    url += "latitude=" + Coordinate(request.latitude);
    url += "&longitude=" + Coordinate(request.longitude);
    url += "&daily=";
    url += kDailyVariables;
    url += "&timezone=" + QueryValue(request.timezone);
    url += "&past_days=" + std::to_string(request.pastDays);
    url += "&forecast_days=" + std::to_string(request.days);
    // Spelled out although they are the service's defaults: the files promise these units.
    url += "&temperature_unit=celsius&wind_speed_unit=kmh&precipitation_unit=mm";
    return url;
}

ParsedForecast ParseForecast(std::string_view text) {
    // No exceptions from the parser; a depth limit is not needed because
    // only a few fixed members are looked at.
    const json root = json::parse(text, nullptr, false);
    if (root.is_discarded())
        return Refuse("the answer is not valid JSON");
    if (!root.is_object())
        return Refuse("the answer is not a JSON object");
    if (root.contains("error") && root["error"].is_boolean() && root["error"].get<bool>())
        return Refuse("the service reported an error: " + ServiceErrorReason(text));

    const auto daily = root.find("daily");
    if (daily == root.end() || !daily->is_object())
        return Refuse("the answer has no daily forecast");
    const auto time = daily->find("time");
    if (time == daily->end() || !time->is_array())
        return Refuse("the daily forecast has no dates");
    const size_t count = time->size();
    if (count == 0)
        return Refuse("the daily forecast is empty");
    if (count > 31)
        return Refuse("the daily forecast has " + std::to_string(count) + " days");

    Forecast forecast;
    if (const auto zone = root.find("timezone"); zone != root.end() && zone->is_string())
        if (IsZoneName(zone->get<std::string>()))
            forecast.timezone = zone->get<std::string>();
    forecast.days.resize(count);

    std::set<std::tuple<int, int, int>> seen;
    for (size_t i = 0; i < count; ++i) {
        const json& date = (*time)[i];
        DailyForecast& day = forecast.days[i];
        if (!date.is_string() || !ParseDate(date.get<std::string>(), day))
            return Refuse("day " + std::to_string(i + 1) + " has no valid date");
        if (!seen.emplace(day.year, day.month, day.day).second)
            return Refuse("the date " + date.get<std::string>() + " appears twice");
    }

    // A value column is optional as a whole, but when present it must cover
    // every day and hold numbers or nulls only.
    auto column = [&](const char* name) -> const json* {
        const auto it = daily->find(name);
        return it == daily->end() || it->is_null() ? nullptr : &*it;
    };
    auto checkShape = [&](const char* name, const json* values) -> std::string {
        if (!values->is_array())
            return std::string("the values of ") + name + " are not a list";
        if (values->size() != count)
            return std::string("the list ") + name + " has " + std::to_string(values->size()) +
                   " values for " + std::to_string(count) + " days";
        return {};
    };

    if (const json* codes = column("weather_code")) {
        if (auto why = checkShape("weather_code", codes); !why.empty())
            return Refuse(why);
        for (size_t i = 0; i < count; ++i) {
            const json& v = (*codes)[i];
            if (v.is_null())
                continue;
            if (!v.is_number())
                return Refuse("a weather code is not a number");
            const double code = v.get<double>();
            if (!std::isfinite(code) || code < 0 || code > 99 || code != std::floor(code))
                return Refuse("the weather code " + v.dump() + " is not a WMO code");
            forecast.days[i].weatherCode = static_cast<int>(code);
        }
    }
    for (const Column& c : kColumns) {
        const json* values = column(c.name);
        if (!values)
            continue;
        if (auto why = checkShape(c.name, values); !why.empty())
            return Refuse(why);
        for (size_t i = 0; i < count; ++i) {
            const json& v = (*values)[i];
            if (v.is_null())
                continue;
            if (!v.is_number())
                return Refuse(std::string("a value of ") + c.name + " is not a number");
            const double x = v.get<double>();
            if (!std::isfinite(x) || x < c.low || x > c.high)
                return Refuse(std::string("the value ") + v.dump() + " of " + c.name + " is out of range");
            forecast.days[i].*c.field = x;
        }
    }

    ParsedForecast result;
    result.forecast = std::move(forecast);
    return result;
}

std::string ServiceErrorReason(std::string_view body) {
    const json root = json::parse(body, nullptr, false);
    if (root.is_discarded() || !root.is_object())
        return {};
    const auto reason = root.find("reason");
    if (reason == root.end() || !reason->is_string())
        return {};
    std::string text = reason->get<std::string>();
    if (text.size() > 200)
        text.resize(200);
    return text;
}

}  // namespace OBPump
