#include "weather/ForecastDays.h"

#include <optional>

#include <algorithm>
#include <set>
#include <tuple>

#include "time/DisplayFormats.h"
#include "util/NumberText.h"

namespace OBWeather {

namespace {

// The number a date element holds when it is written the way the program
// compares it: plain decimal digits without a leading zero.
int PlainNumber(const std::wstring& text) {
    if (text.empty() || text.size() > 4 || text[0] == L'0')
        return -1;
    int value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return -1;
        value = value * 10 + (c - L'0');
    }
    return value;
}

bool IsRealDate(int year, int month, int day) {
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1601 || month < 1 || month > 12 || day < 1 || day > kDays[month - 1])
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month != 2 || day <= 28 || leap;
}

}  // namespace

std::vector<ForecastDay> ReadForecastDays(ZEP_Utility::XMLDoc& doc) {
    using ZEP_Utility::XMLDoc;
    std::vector<ForecastDay> days;
    if (!doc.GetDocument())
        return days;
    std::set<std::tuple<int, int, int>> seen;
    const pugi::xpath_node_set nodes =
        ZEP_Utility::SelectNodes(*doc.GetDocument(), L"/obWeather/forecast/forecastDays/forecastDay");
    for (const pugi::xpath_node& node : nodes) {
        ForecastDay day;
        day.year = PlainNumber(XMLDoc::GetNodeText(node, L"date/year"));
        day.month = PlainNumber(XMLDoc::GetNodeText(node, L"date/month"));
        day.day = PlainNumber(XMLDoc::GetNodeText(node, L"date/day"));
        if (!IsRealDate(day.year, day.month, day.day) || !seen.insert({day.year, day.month, day.day}).second)
            continue;
        day.highText = XMLDoc::GetNodeText(node, L"high/temperature/ambient");
        day.lowText = XMLDoc::GetNodeText(node, L"low/temperature/ambient");
        day.highUnit =
            ZEP_Utility::ScanInteger(XMLDoc::GetNodeText(node, L"high/temperature/units")).value_or(0);
        day.lowUnit =
            ZEP_Utility::ScanInteger(XMLDoc::GetNodeText(node, L"low/temperature/units")).value_or(0);
        // A reading that is no sane temperature is no value, as in the list.
        const auto read = [](std::wstring& text, int unit) {
            const std::optional<double> number = ZEP_Utility::ScanReal(text);
            const double celsius = number ? OBData::ToCelsius(*number, unit) : 0.0;
            if (!number || !OBData::IsSaneCelsius(celsius))
                text.clear();
            return celsius;
        };
        day.highCelsius = read(day.highText, day.highUnit);
        day.lowCelsius = read(day.lowText, day.lowUnit);
        day.hasTemperatures = !day.highText.empty() || !day.lowText.empty();
        day.icon = XMLDoc::GetNodeText(node, L"dayPart/display/icon");
        if (day.icon.empty())
            day.icon = L"no_report";
        day.conditions = XMLDoc::GetNodeText(node, L"dayPart/display/conditions");
        days.push_back(std::move(day));
    }
    std::stable_sort(days.begin(), days.end(), [](const ForecastDay& a, const ForecastDay& b) {
        return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
    });
    return days;
}

}  // namespace OBWeather
