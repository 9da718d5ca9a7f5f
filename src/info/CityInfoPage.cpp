#include "info/CityInfoPage.h"

#include <vector>

#include "data/City.h"
#include "data/Country.h"
#include "data/ReferenceLookup.h"
#include "geo/NearestCities.h"
#include "info/ClockChanges.h"
#include "geo/Position.h"
#include "time/DisplayFormats.h"
#include "time/TimeZone.h"

using ZEP_Utility::DateTime;

namespace OBData {

namespace {

// Writes the page's lines as HTML, or as plain text with one line per line
// and the bold parts unmarked.
class PageWriter {
public:
    PageWriter(bool smallText, bool plainText) : m_small(smallText), m_plain(plainText) {}

    void Begin() {
        if (!m_plain)
            m_page += L"<HTML><TITLE>City Info</TITLE><BODY>";
    }
    void End() {
        if (!m_plain)
            m_page += L"</BODY></HTML>";
    }
    void Heading(const std::wstring& text) { m_page += m_plain ? text + L"\n" : L"<B>" + text + L"</B><BR>"; }
    void Blank() { m_page += m_plain ? L"\n" : L"<BR>"; }
    void Line(const std::wstring& text) {
        if (m_plain) {
            m_page += text + L"\n";
            return;
        }
        m_page += m_small ? L"<SMALL>" + text + L"</SMALL>" : text;
        m_page += L"<BR>";
    }
    void BoldLine(const std::wstring& text) { Line(m_plain ? text : L"<B>" + text + L"</B>"); }
    void Labelled(const std::wstring& label, const std::wstring& value) { Line(label + L": " + value); }
    void Related(const std::wstring& label, const std::wstring& otherName, const std::wstring& value) {
        const std::wstring head = label + L" " + otherName + L":";
        Line((m_plain ? head : L"<B>" + head + L"</B>") + L" " + value);
    }
    std::wstring Take() { return std::move(m_page); }

private:
    bool m_small;
    bool m_plain;
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

// "10:27, Wed 09/12/2026 (9 hours ahead of London)": the clock as the list
// shows it, and how it stands to home's when there is another city.
std::wstring LocalTimeText(const DateTime& local, int timeFormat, const City& city, const City* other,
                           const DateTime& t) {
    std::wstring text =
        FormatClockTime(timeFormat, local) + L", " + local.FormatDate(L"ddd") + L" " + local.GetShortDate();
    if (other) {
        // "5 hours behind London", "9 hours ahead of London".
        const std::wstring offset = other->GetOffsetText(city, t);
        const std::wstring name = other->GetDisplayName();
        if (offset == L"none")
            text += L" (the same as " + name + L")";
        else
            text += L" (" + offset + (offset.ends_with(L"ahead") ? L" of " : L" ") + name + L")";
    }
    return text;
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

    PageWriter page(options.smallText, options.plainText);
    page.Begin();
    page.Heading(city.GetDisplayName() + L", " + CountryName(city));
    page.Labelled(L"Local time", LocalTimeText(local, options.timeFormat, city, other, t));
    page.Labelled(L"Latitude/Longitude", city.GetPosition().ToString());
    page.Labelled(L"Airport", city.GetAirport());
    page.Labelled(L"TimeZone", zone ? zone->GetCurrentDisplayName(t) : std::wstring());
    page.Labelled(L"DST", zone ? zone->GetDaylightSummary(t) : std::wstring(L"no daylight savings time"));
    // A year and a day: every yearly rule changes the clock within it.
    const std::optional<ClockChange> change = NextClockChange(city, t, 366 * 24 * 60);
    page.Labelled(L"Next clock change", change ? ClockChangeText(*change, options.timeFormat, true)
                                               : std::wstring(L"none within a year"));
    page.Labelled(L"Sunrise", ClockTime(options.timeFormat, city.GetSunrise(local)));
    page.Labelled(L"Noon", ClockTime(options.timeFormat, city.GetSolarNoon(local)));
    page.Labelled(L"Sunset", ClockTime(options.timeFormat, city.GetSunset(local)));
    const Country* country = city.GetCountry();
    page.Labelled(L"Cars drive on", country ? country->GetDriveSideText() : std::wstring(L"Unknown"));
    page.Blank();

    if (other) {
        const std::wstring name = other->GetDisplayName();
        page.Related(L"Distance from", name,
                     Distance(city.GetDistance(*other), kKilometres).Format(options.units, true));
        page.Related(L"Offset from", name, other->GetOffsetText(city, t));
        page.Related(L"To call from", name, other->GetDialCode(city));
        page.Related(L"To call", name, city.GetDialCode(*other));
        page.Blank();
    }

    page.BoldLine(L"Nearby Cities");
    WriteNearby(page, city, options);
    page.End();
    return page.Take();
}

CityInfoPageOptions CityInfoPageOptionsFromSettings() {
    AppSettings& settings = GetAppSettings();
    CityInfoPageOptions options;
    options.units = settings.GetUnits();
    options.timeFormat = settings.GetMainTimeFormat();
    options.nearby = settings.GetNearby();
    return options;
}

std::wstring BuildCityInfoPage(const City& city, const City* other, const std::optional<DateTime>& when,
                               bool smallText) {
    CityInfoPageOptions options = CityInfoPageOptionsFromSettings();
    options.smallText = smallText;
    return BuildCityInfoPage(city, other, when, options);
}

}  // namespace OBData
