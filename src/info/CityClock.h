// What the world clock shows for one city at an instant: its local date and
// time, summer time, offset, dialling code and distance from home, and the
// sun's times. Texts are ready to print.
#pragma once

#include <string>
#include <vector>

#include "data/Forward.h"
#include "time/DateTime.h"

namespace OBData {

struct CityClockRow {
    int id = 0;
    std::wstring name;
    std::wstring country;
    double latitude = 0;
    double longitude = 0;
    bool isHome = false;
    ZEP_Utility::DateTime local;
    std::wstring date;     // local, yyyy-mm-dd
    std::wstring time;     // local, HH:MM:SS
    std::wstring weekday;  // the locale's abbreviated day name
    bool summer = false;   // whether the local time shown is summer time
    int utcOffsetMinutes = 0;
    int homeOffsetMinutes = 0;           // the city's clock minus home's, at the instant
    std::wstring offset;                 // from home; "none" for home
    std::wstring dial;                   // what to dial at home to reach the city
    double distanceKm = 0;               // from home; 0 for home
    std::wstring distance;               // from home in `units` with suffix; empty for home
    ZEP_Utility::DateTime sunriseLocal;  // empty when the sun does not rise
    ZEP_Utility::DateTime sunsetLocal;   // empty when the sun does not set
    std::wstring sunrise;                // local, in `timeFormat`; empty when the sun does not rise
    std::wstring sunset;
    std::wstring airport;
};

// One row per city of the group, in group order (home first).
std::vector<CityClockRow> BuildCityClock(const CityGroup& group, const ZEP_Utility::DateTime& utc, int units,
                                         int timeFormat);

}  // namespace OBData
