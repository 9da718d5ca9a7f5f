#include "info/CityClock.h"

#include <cstdio>

#include "data/City.h"
#include "data/Country.h"
#include "geo/Position.h"
#include "model/CityGroup.h"
#include "time/DisplayFormats.h"
#include "time/TimeZone.h"

using ZEP_Utility::DateTime;
using ZEP_Utility::TimeSpan;

namespace OBData {

namespace {

std::wstring TwoDigits(int value) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%02d", value);
    return text;
}

CityClockRow BuildRow(const City& city, const City& home, const ZEP_Utility::DateTime& utc, int units,
                      int timeFormat) {
    CityClockRow row;
    row.id = city.GetId();
    row.name = city.GetDisplayName();
    if (const Country* country = city.GetCountry())
        row.country = country->GetDisplayName();
    row.latitude = city.GetPosition().GetLatitude();
    row.longitude = city.GetPosition().GetLongitude();
    row.isHome = city.GetId() == home.GetId();

    row.local = utc;
    if (const TimeZone* zone = city.GetTimeZone()) {
        row.summer = zone->IsSummerTimeAt(utc);
        row.utcOffsetMinutes = zone->GetUtcOffsetAt(utc).GetTotalSeconds() / 60;
        row.local = zone->ToLocalTime(utc);
    }
    const DateTime& l = row.local;
    row.date = std::to_wstring(l.GetYear()) + L"-" + TwoDigits(l.GetMonth()) + L"-" + TwoDigits(l.GetDay());
    row.time = TwoDigits(l.GetHour()) + L":" + TwoDigits(l.GetMinute()) + L":" + TwoDigits(l.GetSecond());
    row.weekday = l.FormatDate(L"ddd");

    row.offset = home.GetOffsetText(city, utc);
    row.dial = home.GetDialCode(city);
    if (const TimeZone* homeZone = home.GetTimeZone())
        row.homeOffsetMinutes = row.utcOffsetMinutes - homeZone->GetUtcOffsetAt(utc).GetTotalSeconds() / 60;
    if (!row.isHome) {
        row.distanceKm = home.GetDistance(city);
        row.distance = Distance(row.distanceKm, kKilometres).Format(units, true);
    }
    row.sunriseLocal = city.GetSunrise(l);
    row.sunsetLocal = city.GetSunset(l);
    if (!row.sunriseLocal.IsEmpty())
        row.sunrise = FormatClockTime(timeFormat, row.sunriseLocal);
    if (!row.sunsetLocal.IsEmpty())
        row.sunset = FormatClockTime(timeFormat, row.sunsetLocal);
    row.airport = city.GetAirport();
    return row;
}

}  // namespace

std::vector<CityClockRow> BuildCityClock(const CityGroup& group, const ZEP_Utility::DateTime& utc, int units,
                                         int timeFormat) {
    std::vector<CityClockRow> rows;
    const City* home = group.GetHomeCity();
    if (!home)
        return rows;
    rows.reserve(group.GetCities().size());
    for (const City* city : group.GetCities())
        rows.push_back(BuildRow(*city, *home, utc, units, timeFormat));
    return rows;
}

}  // namespace OBData
