// Every day a forecast document holds, in date order, as the terminal lists
// them: the date, the high and low, the icon and the conditions text.
#pragma once

#include <string>
#include <vector>

#include "util/XMLDoc.h"

namespace OBWeather {

struct ForecastDay {
    int year = 0;
    int month = 0;
    int day = 0;
    bool hasTemperatures = false;  // false when neither ambient value is given
    double highCelsius = 0;
    double lowCelsius = 0;
    // The values as the file writes them (empty when absent), and their units.
    std::wstring highText;
    std::wstring lowText;
    int highUnit = 0;
    int lowUnit = 0;
    std::wstring icon;  // "no_report" when the day has none
    std::wstring conditions;
};

// The days of the document in date order. Days whose date the program could
// never select (not plain decimal numbers, not a real date) are left out; of
// a date written twice the first is kept, as the program shows it.
std::vector<ForecastDay> ReadForecastDays(ZEP_Utility::XMLDoc& doc);

}  // namespace OBWeather
