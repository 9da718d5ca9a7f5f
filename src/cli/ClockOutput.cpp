#include "cli/ClockOutput.h"

#include <cmath>
#include <cstdio>

#include "platform/kernel/WideText.h"
#include "time/DisplayFormats.h"

namespace ob::cli {

const std::vector<std::string> kClockColumns = {
    "id",     "name",       "country", "lat",  "lon",      "date",    "time",   "weekday",
    "summer", "utc_offset", "offset",  "dial", "distance", "sunrise", "sunset", "airport"};

const std::vector<std::string> kClockJsonKeys = {"id",
                                                 "name",
                                                 "country",
                                                 "lat",
                                                 "lon",
                                                 "home",
                                                 "local",
                                                 "date",
                                                 "time",
                                                 "weekday",
                                                 "summer",
                                                 "utc_offset_minutes",
                                                 "offset_minutes",
                                                 "dial",
                                                 "distance_km",
                                                 "sunrise",
                                                 "sunset",
                                                 "airport"};

namespace {

std::string Two(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

std::vector<Cell> TsvCells(const OBData::CityClockRow& row) {
    using ob::kernel::ToUtf8;
    return {std::int64_t{row.id},
            ToUtf8(row.name),
            ToUtf8(row.country),
            row.latitude,
            row.longitude,
            ToUtf8(row.date),
            ToUtf8(row.time),
            ToUtf8(row.weekday),
            std::string(row.summer ? "Yes" : "No"),
            std::int64_t{row.utcOffsetMinutes},
            ToUtf8(row.offset),
            ToUtf8(row.dial),
            ToUtf8(row.distance),
            ToUtf8(row.sunrise),
            ToUtf8(row.sunset),
            ToUtf8(row.airport)};
}

Cell LocalOrNull(const ZEP_Utility::DateTime& local) {
    if (local.IsEmpty())
        return nullptr;
    return IsoLocalTime(local);
}

std::vector<Cell> JsonCells(const OBData::CityClockRow& row) {
    using ob::kernel::ToUtf8;
    return {std::int64_t{row.id},
            ToUtf8(row.name),
            ToUtf8(row.country),
            row.latitude,
            row.longitude,
            row.isHome,
            IsoLocalTime(row.local, row.utcOffsetMinutes),
            ToUtf8(row.date),
            ToUtf8(row.time),
            ToUtf8(row.weekday),
            row.summer,
            std::int64_t{row.utcOffsetMinutes},
            std::int64_t{row.homeOffsetMinutes},
            ToUtf8(row.dial),
            std::round(row.distanceKm * 10) / 10,  // to 100 m, as far as the gazetteer is true
            LocalOrNull(row.sunriseLocal),
            LocalOrNull(row.sunsetLocal),
            ToUtf8(row.airport)};
}

}  // namespace

std::string IsoLocalTime(const ZEP_Utility::DateTime& local) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", local.GetYear(), local.GetMonth(),
                  local.GetDay(), local.GetHour(), local.GetMinute(), local.GetSecond());
    return text;
}

std::string IsoLocalTime(const ZEP_Utility::DateTime& local, int utcOffsetMinutes) {
    const int magnitude = utcOffsetMinutes < 0 ? -utcOffsetMinutes : utcOffsetMinutes;
    return IsoLocalTime(local) + (utcOffsetMinutes < 0 ? "-" : "+") + Two(magnitude / 60) + ":" +
           Two(magnitude % 60);
}

std::string FormatClockTsv(const std::vector<OBData::CityClockRow>& rows) {
    Table table{kClockColumns, {}};
    for (const auto& row : rows)
        table.rows.push_back(TsvCells(row));
    return WriteTsv(table);
}

std::string FormatClockJson(const std::vector<OBData::CityClockRow>& rows) {
    Table table{kClockJsonKeys, {}};
    for (const auto& row : rows)
        table.rows.push_back(JsonCells(row));
    return WriteJson(table);
}

std::string FormatClockText(const std::vector<OBData::CityClockRow>& rows, int timeFormat) {
    if (rows.empty())
        return "No cities chosen: choose them in the program or name them with --cities.\n";
    std::vector<std::vector<std::wstring>> table = {{L"City", L"Country", L"Date", L"Time", L"Summer",
                                                     L"Offset from home", L"Dial", L"Distance", L"Sunrise",
                                                     L"Sunset", L"Airport"}};
    // A dash where the sun does not rise or set (polar day or night).
    auto orDash = [](const std::wstring& text) { return text.empty() ? std::wstring(L"-") : text; };
    for (const auto& row : rows) {
        table.push_back({row.name + (row.isHome ? L" (home)" : L""), row.country,
                         row.weekday + L" " + row.date, OBData::FormatClockTime(timeFormat, row.local),
                         row.summer ? L"Yes" : L"No", row.offset, row.dial, row.distance, orDash(row.sunrise),
                         orDash(row.sunset), row.airport});
    }
    return AlignedColumns(table);
}

std::string FormatHomeTimeHeading(const OBData::CityClockRow& home, int timeFormat) {
    return ob::kernel::ToUtf8(L"Planned for " + OBData::FormatClockTime(timeFormat, home.local) + L" " +
                              home.weekday + L" " + home.date + L" in " + home.name) +
           "\n";
}

std::string FormatClock(const std::vector<OBData::CityClockRow>& rows, OutputFormat format, int timeFormat) {
    switch (format) {
    case OutputFormat::Tsv: return FormatClockTsv(rows);
    case OutputFormat::Json: return FormatClockJson(rows);
    case OutputFormat::Text: break;
    }
    return FormatClockText(rows, timeFormat);
}

}  // namespace ob::cli
