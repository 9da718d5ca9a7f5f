// WMO weather codes as the forecast files show them: the icon name (a picture
// in the icon sets) and a short conditions text.
#pragma once

#include <optional>

namespace OBPump {

struct WeatherLook {
    const char* icon;
    const char* conditions;
};

// A code the table does not know, or no code at all, gives "no_report".
WeatherLook LookForCode(std::optional<int> code);

// The 16-point compass name of a direction in degrees ("N" covers 348.75 to 11.25).
const char* CompassPoint(double degrees);

}  // namespace OBPump
