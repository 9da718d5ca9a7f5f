#include "data/City.h"

#include <cstdio>
#include <cstdlib>

#include "data/Country.h"
#include "geo/Sun.h"
#include "time/TimeZone.h"

using ZEP_Utility::DateTime;

namespace OBData {

City::City(std::int32_t id, std::wstring displayName, std::wstring areaCode, std::wstring airport,
           const Position& position, TimeZone* timeZone, Country* country, std::wstring ianaZone)
    : m_id(id),
      m_displayName(std::move(displayName)),
      m_areaCode(std::move(areaCode)),
      m_airport(std::move(airport)),
      m_position(position),
      m_timeZone(timeZone),
      m_country(country),
      m_ianaZone(std::move(ianaZone)) {}

DateTime City::GetSunrise(const DateTime& localDate) const {
    return LocalSunrise(localDate, m_position, m_timeZone);
}

DateTime City::GetSunset(const DateTime& localDate) const {
    return LocalSunset(localDate, m_position, m_timeZone);
}

DateTime City::GetSolarNoon(const DateTime& localDate) const {
    return LocalSolarNoon(localDate, m_position, m_timeZone);
}

DateTime City::GetLocalTime(const DateTime& utc) const {
    return m_timeZone ? m_timeZone->ToLocalTime(utc) : utc;
}

double City::GetDistance(const City& other) const {
    return GreatCircleDistance(m_position, other.m_position).InUnits(kKilometres);
}

std::wstring City::GetDialCode(const City& to) const {
    // Every gazetteer city has a country; a missing one dials as if its
    // codes were empty rather than failing.
    const std::wstring fromCode = m_country ? m_country->GetIso2Name() : std::wstring();
    const std::wstring toCode = to.m_country ? to.m_country->GetIso2Name() : std::wstring();
    std::wstring text;
    if (m_country && to.m_country && fromCode == toCode) {
        text = m_country->GetAreaCodePrefix();
    } else {
        text = m_country ? m_country->GetIntAccessCode() : std::wstring();
        text += L" ";
        text += to.m_country ? to.m_country->GetIntDialCode() : std::wstring();
    }
    text += L" ";
    text += to.m_areaCode;
    return text;
}

std::wstring City::GetOffsetText(const City& other, const DateTime& time) const {
    // Both clocks at the same instant.
    const int mine = m_timeZone ? m_timeZone->GetUtcOffsetAt(time).GetTotalSeconds() : 0;
    const int theirs = other.m_timeZone ? other.m_timeZone->GetUtcOffsetAt(time).GetTotalSeconds() : 0;
    const ZEP_Utility::TimeSpan d =
        ZEP_Utility::TimeSpan::FromSeconds(static_cast<std::int64_t>(theirs) - mine);
    // Only the time of day counts: 24 hours apart reads as "none".
    const int h = std::abs(d.GetHours());
    const int m = std::abs(d.GetMinutes());
    if (h == 0 && m == 0)
        return L"none";
    std::wstring text;
    wchar_t buffer[32];
    if (h > 0) {
        std::swprintf(buffer, 32, L"%d hour", h);
        text += buffer;
        if (h > 1)
            text += L"s";
        text += L" ";
    }
    if (m > 0) {
        std::swprintf(buffer, 32, L"%d mins ", m);
        text += buffer;
    }
    text += d.GetTotalSeconds() > 0 ? L"ahead" : L"behind";
    return text;
}

bool IsNight(const City& city, const DateTime& utc) {
    return IsNight(city.GetPosition(), city.GetTimeZone(), utc);
}

}  // namespace OBData
