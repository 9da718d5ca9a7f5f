#include <map>

#include "data/ReferenceTables.h"
#include "downloader/pump/CityLocator.h"
#include "platform/kernel/WideText.h"

namespace OBPump {

// The downloader needs only a city's name and position, so it reads the
// built-in city table directly rather than building the program's city
// objects with their zones and countries.
std::optional<CityPlace> GazetteerCityLocator::Find(int id) {
    static const std::map<int, CityPlace> places = [] {
        std::map<int, CityPlace> byId;
        OBData::LoadReferenceTables();
        const OBData::DataTable* table = OBData::GetCityTable();
        if (!table)
            return byId;
        for (std::int32_t i = 0; i < table->GetRowCount(); ++i) {
            const void* record = table->GetRow(i);
            CityPlace place;
            std::wstring name;
            if (!table->GetInt(L"id", record, place.id) ||
                !table->GetDouble(L"Lat", record, place.latitude) ||
                !table->GetDouble(L"Long", record, place.longitude))
                continue;
            table->GetString(L"displayName", record, name);
            place.name = ob::kernel::ToUtf8(name);
            byId.emplace(place.id, place);
        }
        return byId;
    }();
    const auto it = places.find(id);
    if (it == places.end())
        return std::nullopt;
    return it->second;
}

}  // namespace OBPump
