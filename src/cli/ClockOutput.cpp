#include "cli/ClockOutput.h"

#include <charconv>
#include <cwchar>

#include "platform/kernel/WideText.h"
#include "time/DisplayFormats.h"

namespace ob::cli {

const std::vector<std::string> kClockColumns = {
    "id",     "name",       "country", "lat",  "lon",      "date",    "time",   "weekday",
    "summer", "utc_offset", "offset",  "dial", "distance", "sunrise", "sunset", "airport"};

namespace {

std::string Number(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// The values of one row, in column order.
std::vector<std::string> Values(const OBData::CityClockRow& row) {
    using ob::kernel::ToUtf8;
    return {std::to_string(row.id),    ToUtf8(row.name),
            ToUtf8(row.country),       Number(row.latitude),
            Number(row.longitude),     ToUtf8(row.date),
            ToUtf8(row.time),          ToUtf8(row.weekday),
            row.summer ? "Yes" : "No", std::to_string(row.utcOffsetMinutes),
            ToUtf8(row.offset),        ToUtf8(row.dial),
            ToUtf8(row.distance),      ToUtf8(row.sunrise),
            ToUtf8(row.sunset),        ToUtf8(row.airport)};
}

bool IsNumericColumn(std::size_t column) {
    const std::string& name = kClockColumns[column];
    return name == "id" || name == "lat" || name == "lon" || name == "utc_offset";
}

}  // namespace

std::string TsvField(std::string value) {
    for (char& c : value)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return value;
}

std::string JsonString(const std::string& value) {
    std::string out = "\"";
    for (unsigned char c : value) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

// Terminal columns taken by a text (wide characters count twice).
std::size_t DisplayWidth(const std::wstring& text) {
    std::size_t width = 0;
    for (wchar_t c : text) {
        const int w = ::wcwidth(c);
        width += w < 0 ? 1 : static_cast<std::size_t>(w);
    }
    return width;
}

std::string AlignedColumns(const std::vector<std::vector<std::wstring>>& lines) {
    std::vector<std::size_t> widths;
    for (const auto& line : lines) {
        if (line.size() < 2)
            continue;
        widths.resize(std::max(widths.size(), line.size()), 0);
        for (std::size_t i = 0; i < line.size(); ++i)
            widths[i] = std::max(widths[i], DisplayWidth(line[i]));
    }
    std::string out;
    for (const auto& line : lines) {
        std::wstring text;
        for (std::size_t i = 0; i < line.size(); ++i) {
            text += line[i];
            if (i + 1 < line.size())
                text += std::wstring(widths[i] - DisplayWidth(line[i]) + 2, L' ');
        }
        while (!text.empty() && text.back() == L' ')
            text.pop_back();
        out += ob::kernel::ToUtf8(text) + "\n";
    }
    return out;
}

std::string FormatClockTsv(const std::vector<OBData::CityClockRow>& rows) {
    std::string out;
    for (std::size_t i = 0; i < kClockColumns.size(); ++i)
        out += (i ? "\t" : "") + kClockColumns[i];
    out += '\n';
    for (const auto& row : rows) {
        const auto values = Values(row);
        for (std::size_t i = 0; i < values.size(); ++i)
            out += (i ? "\t" : "") + TsvField(values[i]);
        out += '\n';
    }
    return out;
}

std::string FormatClockJson(const std::vector<OBData::CityClockRow>& rows) {
    std::string out = "[";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out += r ? ",\n  {" : "\n  {";
        const auto values = Values(rows[r]);
        for (std::size_t i = 0; i < values.size(); ++i) {
            out += (i ? ", " : "") + JsonString(kClockColumns[i]) + ": ";
            out += IsNumericColumn(i) ? values[i] : JsonString(values[i]);
        }
        out += "}";
    }
    out += rows.empty() ? "]\n" : "\n]\n";
    return out;
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

std::string FormatClock(const std::vector<OBData::CityClockRow>& rows, OutputFormat format, int timeFormat) {
    switch (format) {
    case OutputFormat::Tsv: return FormatClockTsv(rows);
    case OutputFormat::Json: return FormatClockJson(rows);
    case OutputFormat::Text: break;
    }
    return FormatClockText(rows, timeFormat);
}

}  // namespace ob::cli
