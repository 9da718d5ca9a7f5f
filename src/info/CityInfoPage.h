// The city information page: one HTML text with everything known about a
// city at an instant, its relation to another city (the home city), and the
// cities nearby. The information dialog shows exactly this text.
#pragma once

#include <optional>
#include <string>

#include "model/AppSettings.h"
#include "time/DateTime.h"

namespace OBData {

class City;

struct CityInfoPageOptions {
    bool smallText = true;   // wrap every information line in <SMALL>
    bool plainText = false;  // the same lines as plain text for a terminal, no markup
    int units = 0;           // "units"
    int timeFormat = 0;      // "main_time_format"
    NearbySettings nearby;   // "nearby_type", "nearby_citycount", "nearby_distance"
};

// `other` is the home city, or null when `city` is home or there is none.
// Without `when` the page describes the current UTC time.
std::wstring BuildCityInfoPage(const City& city, const City* other,
                               const std::optional<ZEP_Utility::DateTime>& when,
                               const CityInfoPageOptions& options);

// The units, time format and nearby choice of the application settings.
CityInfoPageOptions CityInfoPageOptionsFromSettings();

// The same with the units, time format and nearby choice of the application
// settings.
std::wstring BuildCityInfoPage(const City& city, const City* other,
                               const std::optional<ZEP_Utility::DateTime>& when = std::nullopt,
                               bool smallText = true);

}  // namespace OBData
