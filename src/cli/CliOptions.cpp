#include "cli/CliOptions.h"

#include <cctype>
#include <cstdio>

#include "platform/kernel/WideText.h"
#include "time/DateTime.h"
#include "time/TimeZone.h"

namespace ob::cli {

namespace {

bool ReadDigits(const std::string& text, std::size_t& pos, std::size_t count, int& value) {
    if (pos + count > text.size())
        return false;
    value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const char c = text[pos + i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    pos += count;
    return true;
}

bool Expect(const std::string& text, std::size_t& pos, const char* choices) {
    if (pos < text.size() && std::string(choices).find(text[pos]) != std::string::npos) {
        ++pos;
        return true;
    }
    return false;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// Days from 1601-01-01 to the given date (proleptic Gregorian).
std::int64_t DaysSince1601(int year, int month, int day) {
    std::int64_t days = 0;
    const int y = year - 1601;
    days += static_cast<std::int64_t>(y) * 365 + y / 4 - y / 100 + y / 400;
    for (int m = 1; m < month; ++m)
        days += DaysInMonth(year, m);
    return days + day - 1;
}

bool IsAsciiDigits(const std::string& text) {
    if (text.empty() || text.size() > 9)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// "yyyy-mm-ddThh:mm[:ss]", followed by Z when `utc`.
bool ParseIso(const std::string& text, bool utc, std::int64_t& ticks) {
    std::size_t pos = 0;
    int year, month, day, hour, minute, second = 0;
    if (!ReadDigits(text, pos, 4, year) || !Expect(text, pos, "-") || !ReadDigits(text, pos, 2, month) ||
        !Expect(text, pos, "-") || !ReadDigits(text, pos, 2, day) || !Expect(text, pos, "Tt ") ||
        !ReadDigits(text, pos, 2, hour) || !Expect(text, pos, ":") || !ReadDigits(text, pos, 2, minute))
        return false;
    if (Expect(text, pos, ":") && !ReadDigits(text, pos, 2, second))
        return false;
    if ((utc && !Expect(text, pos, "Zz")) || pos != text.size())
        return false;
    if (year < 1601 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59)
        return false;
    const std::int64_t seconds = DaysSince1601(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    // A UTC instant must keep every zone's local time inside the calendar.
    std::int64_t first = 0, last = 0;
    if (utc && (!OBData::GetCalendarSafeRange(first, last) || seconds * 10'000'000 < first ||
                seconds * 10'000'000 > last))
        return false;
    ticks = seconds * 10'000'000;
    return true;
}

}  // namespace

bool ParseIsoUtc(const std::string& text, std::int64_t& ticks) { return ParseIso(text, true, ticks); }

bool ParseIsoClock(const std::string& text, std::int64_t& ticks) { return ParseIso(text, false, ticks); }

std::string AcceptedTimeRange() {
    std::int64_t first = 0, last = 0;
    if (!OBData::GetCalendarSafeRange(first, last))
        return {};
    auto iso = [](std::int64_t ticks) {
        const ZEP_Utility::DateTime t(static_cast<std::uint64_t>(ticks));
        char text[80];  // room for any int in every field, so nothing is ever cut
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", t.GetYear(), t.GetMonth(),
                      t.GetDay(), t.GetHour(), t.GetMinute(), t.GetSecond());
        return std::string(text);
    };
    return iso(first) + " to " + iso(last);
}

bool IsCityList(const std::string& text) {
    if (text.empty())
        return true;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(';', start);
        if (!IsAsciiDigits(text.substr(start, end == std::string::npos ? std::string::npos : end - start)))
            return false;
        if (end == std::string::npos)
            return true;
        start = end + 1;
    }
}

bool IsCityId(const std::wstring& text) {
    return !text.empty() && text.size() <= 9 && text.find_first_not_of(L"0123456789") == std::wstring::npos;
}

std::string UsageText() {
    return "usage: orbelline [--clock [--at TIME | --home-time T] [--cities LIST] [--format text|tsv|json]]\n"
           "       orbelline --info CITY [--at TIME] [--format text]\n"
           "       orbelline --find TEXT [--format text|tsv|json]\n"
           "       orbelline --weather [--cities LIST] [--format text|tsv|json]\n"
           "       orbelline --paths | --help | --version\n"
           "\n"
           "  --clock          print the world clock for the chosen cities, home first\n"
           "  --info CITY      print the city information page for a city, given by id\n"
           "                   or by name (234 or \"sao paulo\"): HTML, or plain text\n"
           "                   with --format text\n"
           "  --find TEXT      list the cities whose names hold TEXT (id, name, country,\n"
           "                   zone), best first; case, accents, hyphens and\n"
           "                   apostrophes do not count\n"
           "  --weather        print the forecast days the downloader left for each city\n"
           "                   (reads the forecast files only; fetches nothing)\n"
           "  --at TIME        show the instant TIME in UTC, e.g. 2008-01-15T12:00:00Z\n"
           "                   (default: now)\n"
           "  --home-time T    with --clock: the instant when the home city's clock reads\n"
           "                   T, e.g. 2026-03-29T15:00 (a time the clock skips when summer\n"
           "                   time begins moves on by the gap; a repeated one is the first)\n"
           "  --cities LIST    the cities to show instead of the chosen ones: city ids or\n"
           "                   names separated by ';', the first is home, e.g.\n"
           "                   \"234;292;414\" or \"London;Tokyo;sao paulo\"; a name shared\n"
           "                   by several cities takes its country: \"Kingston, Jamaica\"\n"
           "  --format F       text (an aligned table), tsv or json (typed values:\n"
           "                   see the manual page)\n"
           "  --paths          show where the settings, forecasts, log and content are\n"
           "  --help           show this text\n"
           "  --version        show the program's version\n"
           "\n"
           "The settings (chosen cities, units, time format) are read from settings.csv\n"
           "(beside the executable, or in ~/.config/orbelline when installed) and never\n"
           "written by these modes.\n";
}

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
    ParseResult result;
    CliOptions& o = result.options;
    auto fail = [&](std::string message) {
        result.ok = false;
        result.error = std::move(message);
        return result;
    };
    auto setMode = [&](Mode mode) {
        if (o.mode != Mode::Window && o.mode != mode)
            return false;
        o.mode = mode;
        return true;
    };
    auto succeed = [&](Mode mode) {
        o.mode = mode;
        result.ok = true;
        return result;
    };
    bool formatGiven = false;
    std::string modeName;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::string value;
        bool hasInlineValue = false;
        if (arg.rfind("--", 0) == 0) {
            const auto eq = arg.find('=');
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
                hasInlineValue = true;
            }
        }
        auto takeValue = [&](std::string& out) {
            if (hasInlineValue) {
                out = value;
                return true;
            }
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        const bool takesValue = arg == "--at" || arg == "--cities" || arg == "--format" || arg == "--info" ||
                                arg == "--home-time" || arg == "--find";
        if (hasInlineValue && !takesValue)
            return fail("unknown option '" + args[i] + "'");

        if (arg == "--help" || arg == "-h") {
            return succeed(Mode::Help);
        } else if (arg == "--version") {
            return succeed(Mode::Version);
        } else if (arg == "--clock") {
            if (!setMode(Mode::Clock))
                return fail("--clock and " + modeName + " cannot be combined");
            modeName = arg;
        } else if (arg == "--info") {
            if (!setMode(Mode::Info))
                return fail("--info and " + modeName + " cannot be combined");
            modeName = arg;
            std::string city;
            if (!takeValue(city) || city.find_first_not_of(" \t") == std::string::npos)
                return fail("--info needs a city id or name");
            o.infoCity = ob::kernel::FromUtf8(city);
        } else if (arg == "--find") {
            if (!setMode(Mode::Find))
                return fail("--find and " + modeName + " cannot be combined");
            modeName = arg;
            std::string text;
            if (!takeValue(text))
                return fail("--find needs the text to look for, e.g. \"sao\"");
            o.findText = ob::kernel::FromUtf8(text);
        } else if (arg == "--paths") {
            if (!setMode(Mode::Paths))
                return fail("--paths and " + modeName + " cannot be combined");
            modeName = arg;
        } else if (arg == "--weather") {
            if (!setMode(Mode::Weather))
                return fail("--weather and " + modeName + " cannot be combined");
            modeName = arg;
        } else if (arg == "--at") {
            std::string time;
            if (!takeValue(time))
                return fail("--at needs a time such as 2008-01-15T12:00:00Z");
            if (!ParseIsoUtc(time, o.atTicks))
                return fail("bad time '" + time +
                            "' for --at (expected UTC like 2008-01-15T12:00:00Z, from " +
                            AcceptedTimeRange() + ")");
            o.hasAt = true;
        } else if (arg == "--home-time") {
            std::string time;
            if (!takeValue(time))
                return fail("--home-time needs the home clock's time such as 2026-03-29T15:00");
            if (!ParseIsoClock(time, o.homeTimeTicks))
                return fail("bad time '" + time +
                            "' for --home-time (expected a real date and time like 2026-03-29T15:00)");
            o.hasHomeTime = true;
        } else if (arg == "--cities") {
            std::string list;
            if (!takeValue(list))
                return fail("--cities needs a list of city ids or names such as \"234;292;414\"");
            o.cities = ob::kernel::FromUtf8(list);
            if (!o.cities.empty() && (o.cities.front() == L';' || o.cities.back() == L';' ||
                                      o.cities.find(L";;") != std::wstring::npos))
                return fail("bad city list '" + list + "' for --cities (an entry is empty)");
            o.hasCities = true;
        } else if (arg == "--format") {
            std::string format;
            if (!takeValue(format))
                return fail("--format needs text, tsv or json");
            if (format == "text")
                o.format = OutputFormat::Text;
            else if (format == "tsv")
                o.format = OutputFormat::Tsv;
            else if (format == "json")
                o.format = OutputFormat::Json;
            else
                return fail("unknown format '" + format + "' for --format (text, tsv or json)");
            formatGiven = true;
        } else if (arg.rfind("-", 0) == 0) {
            return fail("unknown option '" + arg + "'");
        } else {
            return fail("unexpected argument '" + arg + "'");
        }
    }
    if (o.hasHomeTime && o.hasAt)
        return fail(
            "--home-time and --at cannot be combined (one names the instant, the other the home clock)");
    if (o.hasHomeTime && o.mode != Mode::Clock)
        return fail("--home-time goes with --clock");
    if (o.mode == Mode::Paths && (o.hasAt || o.hasCities || formatGiven))
        return fail("--paths takes no other option");
    if (o.mode == Mode::Info && o.hasCities)
        return fail("--cities does not apply to --info");
    if (o.mode == Mode::Info && formatGiven) {
        if (o.format != OutputFormat::Text)
            return fail("--info takes --format text (the page as plain text) or no --format (HTML)");
        o.infoAsText = true;
    }
    if (o.mode == Mode::Find && (o.hasCities || o.hasAt))
        return fail(std::string(o.hasCities ? "--cities" : "--at") + " does not apply to --find");
    result.ok = true;
    return result;
}

}  // namespace ob::cli
