// Filters and sort orders of the data views over the built-in tables.
#include "data/DataView.h"
#include "data/ReferenceTables.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool loaded = OBData::LoadReferenceTables();
    if (!loaded || size == 0)
        return 0;
    const auto parts = ob::fuzz::Parts(ob::fuzz::AsText(data + 1, size - 1), 2);
    const OBData::DataTable* tables[] = {OBData::GetCityTable(), OBData::GetCountryTable(),
                                         OBData::GetTimeZoneTable()};
    const OBData::DataTable* table = tables[data[0] % 3];
    const std::wstring filter = ob::fuzz::Wide(parts[0]);
    const std::wstring sort = parts.size() > 1 ? ob::fuzz::Wide(parts[1]) : std::wstring();
    OBData::DataView view(table, sort.c_str(), filter.c_str());
    view.Sort(filter.c_str());
    view.Filter(sort.c_str());
    OBData::DataRow row;
    view.FindString(sort, filter, row);
    view.FindInt(filter, static_cast<std::int32_t>(size), row);
    for (std::int32_t i = -1; i <= view.GetCount() && i < 3; ++i)
        view.GetRow(i);
    return 0;
}
