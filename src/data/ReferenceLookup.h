// The one way the program reads the reference tables: cached unfiltered
// views, and shared City, Country and TimeZone objects built from a table
// row on first request and kept until ReleaseReferenceData. Lookups of keys
// without a row (or on a missing table) give null and cache nothing.
// Single-threaded, like the rest of the program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/DataRow.h"

namespace OBData {

class City;
class Country;
class DataView;
class TimeZone;

// The cached views over the whole tables in table order; null when the table
// is missing.
DataView* GetCityView();
DataView* GetCountryView();
DataView* GetTimeZoneView();
// A new view over the city table ("country = 'AU'"); the caller deletes it.
// Null when the table is missing.
DataView* CreateCityView(const wchar_t* sort, const wchar_t* filter);

bool FindCityRow(std::int32_t id, DataRow& out);
bool FindTimeZoneRow(std::int32_t key, DataRow& out);

City* GetCity(std::int32_t id);
// The ids of the cities that keep the clock of a tz database zone
// ("Europe/Berlin"), in table order; the name is matched exactly, so an old
// spelling ("Europe/Kiev") finds nothing. Empty when no city keeps it.
std::vector<std::int32_t> FindCitiesInZone(const std::wstring& ianaZone);
Country* GetCountry(const std::wstring& iso2Name);  // exact, case-sensitive
TimeZone* GetTimeZone(std::int32_t key);

// At exit: deletes the cached views, the tables, every City, Country and
// TimeZone, and empties the city position index. Pointers handed out before
// become invalid.
void ReleaseReferenceData();

}  // namespace OBData
