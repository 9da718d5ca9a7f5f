#include "cli/FindOutput.h"

#include "cli/ClockOutput.h"
#include "data/City.h"
#include "data/Country.h"
#include "platform/kernel/WideText.h"
#include "time/TimeZone.h"

namespace ob::cli {

namespace {

// The tz database's name of the city's zone, or the built-in table's where it has none.
std::wstring ZoneOf(const OBData::City& city) {
    if (!city.GetIanaZone().empty())
        return city.GetIanaZone();
    return city.GetTimeZone() ? city.GetTimeZone()->GetDisplayName() : std::wstring();
}

std::wstring CountryOf(const OBData::City& city) {
    return city.GetCountry() ? city.GetCountry()->GetDisplayName() : std::wstring();
}

}  // namespace

std::string FormatFoundCities(const std::vector<OBData::City*>& cities, OutputFormat format) {
    using ob::kernel::ToUtf8;
    std::string out;
    switch (format) {
    case OutputFormat::Tsv:
        out = "id\tname\tcountry\tzone\n";
        for (const OBData::City* city : cities)
            out += std::to_string(city->GetId()) + "\t" + TsvField(ToUtf8(city->GetDisplayName())) + "\t" +
                   TsvField(ToUtf8(CountryOf(*city))) + "\t" + TsvField(ToUtf8(ZoneOf(*city))) + "\n";
        return out;
    case OutputFormat::Json:
        out = "[";
        for (std::size_t i = 0; i < cities.size(); ++i) {
            const OBData::City& city = *cities[i];
            out += (i ? ",\n  " : "\n  ") + std::string("{\"id\": ") + std::to_string(city.GetId()) +
                   ", \"name\": " + JsonString(ToUtf8(city.GetDisplayName())) +
                   ", \"country\": " + JsonString(ToUtf8(CountryOf(city))) +
                   ", \"zone\": " + JsonString(ToUtf8(ZoneOf(city))) + "}";
        }
        return out + (cities.empty() ? "]\n" : "\n]\n");
    case OutputFormat::Text: break;
    }
    if (cities.empty())
        return "No city's name holds that text.\n";
    std::vector<std::vector<std::wstring>> table = {{L"Id", L"City", L"Country", L"Zone"}};
    for (const OBData::City* city : cities)
        table.push_back(
            {std::to_wstring(city->GetId()), city->GetDisplayName(), CountryOf(*city), ZoneOf(*city)});
    return AlignedColumns(table);
}

}  // namespace ob::cli
