// The command line of orbelline: which mode to run and its options.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ob::cli {

enum class Mode {
    Window,   // no mode option: the program itself
    Clock,    // --clock
    Info,     // --info CITY
    Find,     // --find TEXT
    Weather,  // --weather
    Help,     // --help
    Version,  // --version
    Paths,    // --paths
};

enum class OutputFormat { Text, Tsv, Json };

struct CliOptions {
    Mode mode = Mode::Window;
    bool hasAt = false;
    std::int64_t atTicks = 0;  // 100 ns since 1601-01-01 UTC
    bool hasHomeTime = false;
    std::int64_t homeTimeTicks = 0;  // what the home city's clock reads, counted like atTicks
    bool hasCities = false;
    std::wstring cities;  // city ids or names separated by ';', resolved when run
    OutputFormat format = OutputFormat::Text;
    std::wstring infoCity;    // a city id or name
    bool infoAsText = false;  // --info with --format text: plain text, not HTML
    std::wstring findText;
};

struct ParseResult {
    bool ok = false;
    CliOptions options;
    std::string error;  // one line, naming what was wrong
};

// Parses the arguments after the program name.
ParseResult ParseCommandLine(const std::vector<std::string>& args);

// "2008-01-15T12:00:00Z" (seconds optional) to ticks; false when the text is
// not such a time in UTC, not a real date, or an instant at which some zone's
// local time would lie outside the years 1601 to 9999.
bool ParseIsoUtc(const std::string& text, std::int64_t& ticks);
// The same without the Z: a clock time of no zone ("2026-03-29T15:00").
bool ParseIsoClock(const std::string& text, std::int64_t& ticks);
// The instants ParseIsoUtc accepts, as "<first> to <last>".
std::string AcceptedTimeRange();

// True for ids separated by ';' ("234;292;414") or the empty text.
bool IsCityList(const std::string& text);
// True for a text of digits only: an entry that is a city id, not a name.
bool IsCityId(const std::wstring& text);

std::string UsageText();

}  // namespace ob::cli
