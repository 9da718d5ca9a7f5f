// A city of the gazetteer: its names and codes, position, time zone and
// country, and the texts derived from them (dialling code, offset text).
// Cities are shared objects handed out by GetCity; holders never delete them.
#pragma once

#include <cstdint>
#include <string>

#include "geo/Position.h"
#include "time/DateTime.h"

namespace OBData {

class Country;
class DataRow;
class TimeZone;

class City {
public:
    City(std::int32_t id, std::wstring displayName, std::wstring areaCode, std::wstring airport,
         const Position& position, TimeZone* timeZone, Country* country, std::wstring ianaZone = {});
    City(const City&) = delete;
    City& operator=(const City&) = delete;

    std::int32_t GetId() const { return m_id; }
    std::wstring GetDisplayName() const { return m_displayName; }
    std::wstring GetAreaCode() const { return m_areaCode; }
    std::wstring GetAirport() const { return m_airport; }
    Position GetPosition() const { return m_position; }
    TimeZone* GetTimeZone() const { return m_timeZone; }
    Country* GetCountry() const { return m_country; }
    // The tz database zone whose clock the city keeps ("America/Sao_Paulo");
    // empty for a city built without one.
    const std::wstring& GetIanaZone() const { return m_ianaZone; }

    // Local times on the calendar day of a local date; the empty DateTime
    // when the sun does not rise or set that day.
    ZEP_Utility::DateTime GetSunrise(const ZEP_Utility::DateTime& localDate) const;
    ZEP_Utility::DateTime GetSunset(const ZEP_Utility::DateTime& localDate) const;
    ZEP_Utility::DateTime GetSolarNoon(const ZEP_Utility::DateTime& localDate) const;
    // The city's local time for a UTC instant.
    ZEP_Utility::DateTime GetLocalTime(const ZEP_Utility::DateTime& utc) const;

    // Great-circle distance in kilometres.
    double GetDistance(const City& other) const;
    // What to dial from this city to reach `to`: "0 1224" within a country,
    // "00 1 212" abroad.
    std::wstring GetDialCode(const City& to) const;
    // How far the other city's clock is ahead of or behind this one's at a
    // time: "5 hours 45 mins ahead", "1 hour behind", "none".
    std::wstring GetOffsetText(const City& other, const ZEP_Utility::DateTime& time) const;

private:
    std::int32_t m_id;
    std::wstring m_displayName;
    std::wstring m_areaCode;
    std::wstring m_airport;
    Position m_position;
    TimeZone* m_timeZone;
    Country* m_country;
    std::wstring m_ianaZone;
};

// Night at the city at a UTC instant (after sunset or before sunrise on the
// city's local day; polar night counts as night all day).
bool IsNight(const City& city, const ZEP_Utility::DateTime& utc);

}  // namespace OBData
