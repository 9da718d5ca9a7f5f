#include "info/CityInfoPage.h"

#include <vector>

#include "data/City.h"
#include "data/Country.h"
#include "data/ReferenceLookup.h"
#include "geo/NearestCities.h"
#include "geo/Position.h"
#include "time/DisplayFormats.h"
#include "time/TimeZone.h"

using ZEP_Utility::DateTime;

namespace OBData {

namespace {

class PageWriter {
public:
    explicit PageWriter(bool smallText) : m_small(smallText) {}

    void Raw(const std::wstring& text) { m_page += text; }
    void Line(const std::wstring& text) {
        m_page += m_small ? L"<SMALL>" + text + L"</SMALL>" : text;
        m_page += L"<BR>";
    }
    void Labelled(const std::wstring& label, const std::wstring& value) { Line(label + L": " + value); }
    void Related(const std::wstring& label, const std::wstring& otherName, const std::wstring& value) {
        Line(L"<B>" + label + L" " + otherName + L":</B> " + value);
    }
    std::wstring Take() { return std::move(m_page); }

private:
    bool m_small;
    std::wstring m_page;
};

std::wstring CountryName(const City& city) {
    const Country* country = city.GetCountry();
    return country ? country->GetDisplayName() : std::wstring();
}

std::wstring ClockTime(int format, const DateTime& time) {
    // No sunrise or sunset (polar day or night) shows as an empty value.
    return time.IsEmpty() ? std::wstring() : FormatClockTime(format, time);
}

void WriteNearby(PageWriter& page, const City& city, const CityInfoPageOptions& options) {
    std::vector<NearestCity> nearest;
    FindNearestCities(city.GetPosition(), nearest);
    // By count the list takes one entry more, as the city itself is among them.
    const long long limit = options.nearby.cityCount + 1LL;
    long long taken = 0;
    for (const NearestCity& entry : nearest) {
        if (options.nearby.byDistance) {
            if (entry.distance.InUnits(kKilometres) > options.nearby.distanceKm)
                break;
        } else if (taken++ >= limit) {
            break;
        }
        if (entry.cityId == city.GetId())
            continue;
        const City* other = GetCity(entry.cityId);
        if (!other)
            continue;
        page.Line(other->GetDisplayName() + L": " + CountryName(*other) + L" (" +
                  entry.distance.Format(options.units, true) + L")");
    }
}

}  // namespace

std::wstring BuildCityInfoPage(const City& city, const City* other, const std::optional<DateTime>& when,
                               const CityInfoPageOptions& options) {
    const DateTime t = when ? *when : DateTime::UtcNow();
    const TimeZone* zone = city.GetTimeZone();
    const DateTime local = zone ? zone->ToLocalTime(t) : t;

    PageWriter page(options.smallText);
    page.Raw(L"<HTML><TITLE>City Info</TITLE><BODY>");
    page.Raw(L"<B>" + city.GetDisplayName() + L", " + CountryName(city) + L"</B><BR>");
    page.Labelled(L"Latitude/Longitude", city.GetPosition().ToString());
    page.Labelled(L"Airport", city.GetAirport());
    page.Labelled(L"TimeZone", zone ? zone->GetDisplayName() : std::wstring());
    page.Labelled(L"DST", zone ? zone->GetDaylightSummary(t) : std::wstring(L"no daylight savings time"));
    page.Labelled(L"Sunrise", ClockTime(options.timeFormat, city.GetSunrise(local)));
    page.Labelled(L"Noon", ClockTime(options.timeFormat, city.GetSolarNoon(local)));
    page.Labelled(L"Sunset", ClockTime(options.timeFormat, city.GetSunset(local)));
    const Country* country = city.GetCountry();
    page.Labelled(L"Cars drive on", country ? country->GetDriveSideText() : std::wstring(L"Unknown"));
    page.Raw(L"<BR>");

    if (other) {
        const std::wstring name = other->GetDisplayName();
        page.Related(L"Distance from", name,
                     Distance(city.GetDistance(*other), kKilometres).Format(options.units, true));
        page.Related(L"Offset from", name, other->GetOffsetText(city, t));
        page.Related(L"To call from", name, other->GetDialCode(city));
        page.Related(L"To call", name, city.GetDialCode(*other));
        page.Raw(L"<BR>");
    }

    page.Line(L"<B>Nearby Cities</B>");
    WriteNearby(page, city, options);
    page.Raw(L"</BODY></HTML>");
    return page.Take();
}

std::wstring BuildCityInfoPage(const City& city, const City* other, const std::optional<DateTime>& when,
                               bool smallText) {
    AppSettings& settings = GetAppSettings();
    CityInfoPageOptions options;
    options.smallText = smallText;
    options.units = settings.GetUnits();
    options.timeFormat = settings.GetMainTimeFormat();
    options.nearby = settings.GetNearby();
    return BuildCityInfoPage(city, other, when, options);
}

}  // namespace OBData
