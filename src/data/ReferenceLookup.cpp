#include "data/ReferenceLookup.h"

#include <map>
#include <memory>

#include "data/City.h"
#include "data/Country.h"
#include "data/DataTable.h"
#include "data/DataView.h"
#include "data/ReferenceTables.h"
#include "geo/NearestCities.h"
#include "time/TimeZone.h"

namespace OBData {
namespace {

struct ReferenceCache {
    std::unique_ptr<DataView> cityView;
    std::unique_ptr<DataView> countryView;
    std::unique_ptr<DataView> timeZoneView;
    std::map<std::int32_t, std::unique_ptr<City>> cities;
    std::map<std::wstring, std::unique_ptr<Country>> countries;
    std::map<std::int32_t, std::unique_ptr<TimeZone>> timeZones;
    // The clocks of the cities: a tz database zone over a table zone's rules.
    std::map<std::pair<std::int32_t, std::wstring>, std::unique_ptr<TimeZone>> cityClocks;
};

ReferenceCache& Cache() {
    static ReferenceCache cache;
    return cache;
}

DataView* CachedView(std::unique_ptr<DataView>& slot, DataTable* table) {
    // A view never outlives the table it reads, even if the tables were
    // rebuilt behind the cache's back.
    if (slot && slot->GetTable() != table)
        slot.reset();
    if (!slot && table)
        slot.reset(table->CreateView(nullptr, nullptr));
    return slot.get();
}

std::unique_ptr<City> BuildCity(std::int32_t id, const DataRow& row) {
    std::wstring name, areaCode, airport, country, ianaZone;
    double latitude = 0.0, longitude = 0.0;
    row.GetString(L"displayName", name);
    row.GetString(L"areaCode", areaCode);
    row.GetString(L"airport", airport);
    row.GetString(L"ianaZone", ianaZone);
    row.GetDouble(L"Lat", latitude);
    row.GetDouble(L"Long", longitude);
    std::int32_t zoneKey = 0, usesDst = 0;
    row.GetIntChecked(L"timeZone", zoneKey);
    row.GetIntChecked(L"usesDST", usesDst);
    row.GetString(L"country", country);

    TimeZone* zone = GetTimeZone(zoneKey);
    if (zone && !ianaZone.empty()) {
        auto& clock = Cache().cityClocks[{zoneKey, ianaZone}];
        if (!clock)
            clock = std::make_unique<TimeZone>(zoneKey, ianaZone);
        zone = clock.get();
    }
    // The latest city built for a zone decides whether it keeps summer time.
    if (zone)
        zone->SetUsesDaylightTime(usesDst != 0);
    return std::make_unique<City>(id, name, areaCode, airport, Position(latitude, longitude), zone,
                                  GetCountry(country), ianaZone);
}

}  // namespace

DataView* GetCityView() { return CachedView(Cache().cityView, GetCityTable()); }

DataView* GetCountryView() { return CachedView(Cache().countryView, GetCountryTable()); }

DataView* GetTimeZoneView() { return CachedView(Cache().timeZoneView, GetTimeZoneTable()); }

DataView* CreateCityView(const wchar_t* sort, const wchar_t* filter) {
    DataTable* table = GetCityTable();
    return table ? table->CreateView(sort, filter) : nullptr;
}

bool FindCityRow(std::int32_t id, DataRow& out) {
    DataView* view = GetCityView();
    return view && view->FindInt(L"id", id, out);
}

bool FindTimeZoneRow(std::int32_t key, DataRow& out) {
    DataView* view = GetTimeZoneView();
    return view && view->FindInt(L"indx", key, out);
}

City* GetCity(std::int32_t id) {
    auto& cities = Cache().cities;
    if (auto found = cities.find(id); found != cities.end())
        return found->second.get();
    DataRow row;
    if (!FindCityRow(id, row))
        return nullptr;
    City* city = BuildCity(id, row).release();
    cities[id].reset(city);
    return city;
}

std::vector<std::int32_t> FindCitiesInZone(const std::wstring& ianaZone) {
    std::vector<std::int32_t> ids;
    const DataTable* table = GetCityTable();
    if (!table || ianaZone.empty())
        return ids;
    std::wstring zone;
    for (std::int32_t i = 0; i < table->GetRowCount(); ++i) {
        const void* record = table->GetRow(i);
        std::int32_t id = 0;
        if (table->GetString(L"ianaZone", record, zone) && zone == ianaZone &&
            table->GetInt(L"id", record, id))
            ids.push_back(id);
    }
    return ids;
}

Country* GetCountry(const std::wstring& iso2Name) {
    auto& countries = Cache().countries;
    if (auto found = countries.find(iso2Name); found != countries.end())
        return found->second.get();
    DataView* view = GetCountryView();
    DataRow row;
    if (!view || !view->FindString(L"iso2Name", iso2Name, row))
        return nullptr;
    auto& slot = countries[iso2Name];
    slot = std::make_unique<Country>(iso2Name, row);
    return slot.get();
}

TimeZone* GetTimeZone(std::int32_t key) {
    auto& zones = Cache().timeZones;
    if (auto found = zones.find(key); found != zones.end())
        return found->second.get();
    DataRow row;
    if (!FindTimeZoneRow(key, row))
        return nullptr;
    auto& slot = zones[key];
    slot = std::make_unique<TimeZone>(key);
    return slot.get();
}

void ReleaseReferenceData() {
    ReferenceCache& cache = Cache();
    cache.timeZoneView.reset();
    cache.countryView.reset();
    cache.cityView.reset();
    DeleteReferenceTables();
    cache.cities.clear();
    cache.countries.clear();
    cache.timeZones.clear();
    cache.cityClocks.clear();
    ClearCityPositionIndex();
}

}  // namespace OBData
