// The record layouts of the built-in gazetteer and the generated arrays that
// hold its rows (GazetteerRows.cpp, written by tools/gazetteer/generate.js).
// Texts are 32-bit references into kGazetteerText, so the widths, offsets and
// strides below hold on every platform.
#pragma once

#include <cstddef>
#include <cstdint>

#include "data/StaticText.h"

namespace OBData {

struct CityRecord {
    std::int32_t id;
    TextRef displayName;
    TextRef country;
    std::int32_t usesDST;
    std::int32_t timeZone;
    TextRef areaCode;
    double lat;
    double lon;
    TextRef airport;
    TextRef ianaZone;  // "Europe/London": the zone of the tz database the city keeps
};

struct CountryRecord {
    TextRef iso2Name;
    TextRef iso3Name;
    TextRef displayName;
    TextRef peopleName;
    std::int32_t isoNumber;
    TextRef intDialCode;
    TextRef intAccessCode;
    TextRef areaCodePrefix;
    std::int32_t driveSide;
};

struct TimeZoneRecord {
    std::int32_t indx;
    TextRef displayName;
    std::int32_t bias;
    TextRef standardName;
    std::int32_t standardBias;
    TextRef daylightName;
    std::int32_t daylightBias;
    std::int32_t standardDateMonth;
    std::int32_t standardDateDOW;
    std::int32_t standardDateDayIndex;
    std::int32_t standardDateHour;
    std::int32_t standardDateMin;
    std::int32_t daylightDateMonth;
    std::int32_t daylightDateDOW;
    std::int32_t daylightDateDayIndex;
    std::int32_t daylightDateHour;
    std::int32_t daylightDateMin;
};

static_assert(sizeof(CityRecord) == 48, "city stride");
static_assert(offsetof(CityRecord, areaCode) == 20 && offsetof(CityRecord, lat) == 24 &&
                  offsetof(CityRecord, lon) == 32 && offsetof(CityRecord, airport) == 40 &&
                  offsetof(CityRecord, ianaZone) == 44,
              "city columns");
static_assert(sizeof(CountryRecord) == 36, "country stride");
static_assert(offsetof(CountryRecord, isoNumber) == 16 && offsetof(CountryRecord, driveSide) == 32,
              "country columns");
static_assert(sizeof(TimeZoneRecord) == 68, "time zone stride");
static_assert(offsetof(TimeZoneRecord, daylightDateMin) == 64, "time zone columns");

inline constexpr std::int32_t kCityCount = 578;
inline constexpr std::int32_t kCountryCount = 226;
inline constexpr std::int32_t kTimeZoneCount = 90;

extern const wchar_t kGazetteerText[];
extern const std::size_t kGazetteerTextLength;  // code units, final NUL included

extern const CityRecord kCityRecords[kCityCount];
extern const CountryRecord kCountryRecords[kCountryCount];
extern const TimeZoneRecord kTimeZoneRecords[kTimeZoneCount];

}  // namespace OBData
