// End-to-end tests of the command-line modes: the real binary, run from a
// temporary app folder with its own settings.csv.
#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <nlohmann/json.hpp>

#include "support/RunProgram.h"

using ob::test::AppFolder;
using ob::test::ProgramResult;
using ob::test::ReadBytes;
using ob::test::Split;
using ob::test::WriteBytes;

namespace {

const char kJanuary[] = "2008-01-15T12:00:00Z";
const char kJuly[] = "2008-07-15T12:00:00Z";

struct Place {
    int id;
    const char* name;
    const char* country;
    double lat, lon;
    const char* airport;
    int januaryOffset, julyOffset;  // minutes from UTC
};

const Place kLondon{234, "London", "United Kingdom", 51.51, -0.06, "LHR", 0, 60};
const Place kNewYork{292, "New York; NY", "United States", 40.74, -73.99, "JFK", -300, -240};
const Place kSydney{414, "Sydney; NSW", "Australia", -33.96, 151.12, "SYD", 660, 600};
const Place kKathmandu{198, "Kathmandu", "Nepal", 27.71, 85.31, "KTM", 345, 345};

// Great circle on a sphere of 60 nautical miles per degree, in kilometres.
double Kilometres(const Place& a, const Place& b) {
    const double rad = 0.017453292222222222;
    const double c = std::cos((b.lon - a.lon) * rad) * std::cos(b.lat * rad) * std::cos(a.lat * rad) +
                     std::sin(b.lat * rad) * std::sin(a.lat * rad);
    return std::acos(std::min(1.0, c)) * 57.295780490442965 * 60 * 1.852;
}

std::string Grouped(double value) {
    std::string digits = std::to_string(static_cast<long long>(value + 0.5));
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<std::size_t>(i), ",");
    return digits;
}

std::string DistanceText(const Place& home, const Place& city, int units) {
    const double km = Kilometres(home, city);
    switch (units) {
    case 1: return Grouped(km * 0.62) + " Miles";
    case 2: return Grouped(km * 0.5399568034557235) + " NM";
    default: return Grouped(km) + " KM";
    }
}

std::string OffsetText(int minutes) {
    if (minutes == 0)
        return "none";
    const int h = std::abs(minutes) / 60, m = std::abs(minutes) % 60;
    std::string text;
    if (h)
        text += std::to_string(h) + " hour" + (h > 1 ? "s" : "") + " ";
    if (m)
        text += std::to_string(m) + " mins ";
    return text + (minutes > 0 ? "ahead" : "behind");
}

// The local wall clock at 12:00 UTC on the 15th.
std::string LocalTime(int offsetMinutes) {
    const int minutes = 12 * 60 + offsetMinutes;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:00", minutes / 60 % 24, minutes % 60);
    return text;
}

using Row = std::map<std::string, std::string>;

std::vector<Row> ParseTsv(const std::string& text) {
    std::vector<Row> rows;
    const auto lines = Split(text, '\n');
    if (lines.empty())
        return rows;
    const auto header = Split(lines[0], '\t');
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto fields = Split(lines[i], '\t');
        Row row;
        for (std::size_t k = 0; k < header.size() && k < fields.size(); ++k)
            row[header[k]] = fields[k];
        row["#fields"] = std::to_string(fields.size());
        rows.push_back(row);
    }
    return rows;
}

std::string SettingsFile(const std::string& cities, int units, const std::string& more = "") {
    return "cities," + cities + "\r\nmain_time_format,1\r\nunits," + std::to_string(units) + "\r\n" + more;
}

class CommandLine : public ::testing::Test {
protected:
    AppFolder app;
};

}  // namespace

TEST_F(CommandLine, WorldClockTsvInJanuaryAndJuly) {
    const Place* places[] = {&kLondon, &kNewYork, &kSydney, &kKathmandu};
    WriteBytes(app.Settings(), SettingsFile("234;292;414;198", 0));
    for (const char* instant : {kJanuary, kJuly}) {
        SCOPED_TRACE(instant);
        const bool january = instant == kJanuary;
        const ProgramResult r = app.Run({"--clock", "--at", instant, "--format", "tsv"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(
            Split(r.out, '\n').at(0),
            "id\tname\tcountry\tlat\tlon\tdate\ttime\tweekday\tsummer\tutc_offset\toffset\tdial\tdistance\t"
            "sunrise\tsunset\tairport");
        const auto rows = ParseTsv(r.out);
        ASSERT_EQ(rows.size(), 4u);
        const int homeOffset = january ? kLondon.januaryOffset : kLondon.julyOffset;
        for (std::size_t i = 0; i < 4; ++i) {
            const Place& p = *places[i];
            const Row& row = rows[i];
            SCOPED_TRACE(p.name);
            const int offset = january ? p.januaryOffset : p.julyOffset;
            EXPECT_EQ(row.at("#fields"), "16");
            EXPECT_EQ(row.at("id"), std::to_string(p.id));
            EXPECT_EQ(row.at("name"), p.name);
            EXPECT_EQ(row.at("country"), p.country);
            EXPECT_DOUBLE_EQ(std::stod(row.at("lat")), p.lat);
            EXPECT_DOUBLE_EQ(std::stod(row.at("lon")), p.lon);
            EXPECT_EQ(row.at("date"), january ? "2008-01-15" : "2008-07-15");
            EXPECT_EQ(row.at("time"), LocalTime(offset));
            EXPECT_EQ(row.at("weekday"), "Tue");
            // Summer time: an hour more than the zone's standard offset.
            const int standard = std::min(p.januaryOffset, p.julyOffset);
            EXPECT_EQ(row.at("summer"), offset != standard ? "Yes" : "No");
            EXPECT_EQ(row.at("utc_offset"), std::to_string(offset));
            EXPECT_EQ(row.at("offset"), OffsetText(offset - homeOffset));
            EXPECT_EQ(row.at("distance"), i == 0 ? "" : DistanceText(kLondon, p, 0));
            EXPECT_EQ(row.at("airport"), p.airport);
            // 24-hour clock times from main_time_format 1.
            EXPECT_EQ(row.at("sunrise").size(), 5u) << row.at("sunrise");
            EXPECT_EQ(row.at("sunset").size(), 5u) << row.at("sunset");
        }
        EXPECT_EQ(rows[0].at("dial"), "0 207");
        EXPECT_EQ(rows[1].at("dial"), "00 1 212");
        EXPECT_EQ(rows[2].at("dial"), "00 61 2");
        EXPECT_EQ(rows[3].at("dial"), "00 977 1");
    }
}

TEST_F(CommandLine, DistancesFollowTheUnitsSettingAndHomeComesFirst) {
    for (int units : {0, 1, 2}) {
        SCOPED_TRACE(units);
        WriteBytes(app.Settings(), SettingsFile("234;292", units));
        // --cities replaces the chosen cities; its first city is home.
        const ProgramResult r =
            app.Run({"--clock", "--at", kJanuary, "--format", "tsv", "--cities", "414;292;234;198"});
        ASSERT_EQ(r.status, 0) << r.err;
        const auto rows = ParseTsv(r.out);
        ASSERT_EQ(rows.size(), 4u);
        EXPECT_EQ(rows[0].at("id"), "414");
        EXPECT_EQ(rows[0].at("distance"), "");
        EXPECT_EQ(rows[0].at("offset"), "none");
        EXPECT_EQ(rows[1].at("distance"), DistanceText(kSydney, kNewYork, units));
        EXPECT_EQ(rows[2].at("distance"), DistanceText(kSydney, kLondon, units));
        EXPECT_EQ(rows[3].at("distance"), DistanceText(kSydney, kKathmandu, units));
        EXPECT_EQ(rows[2].at("offset"), "11 hours behind");
        EXPECT_EQ(rows[3].at("offset"), "5 hours 15 mins behind");
        EXPECT_EQ(rows[2].at("dial"), "0011 44 207");
    }
    // The empty list is an empty group: only the header.
    const ProgramResult empty = app.Run({"--clock", "--format", "tsv", "--cities", ""});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(Split(empty.out, '\n').size(), 1u);
}

TEST_F(CommandLine, JsonGivesTypedValuesForScripts) {
    WriteBytes(app.Settings(), SettingsFile("234;292;414;198", 1));
    const ProgramResult r = app.Run({"--clock", "--at", kJuly, "--format", "json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = nlohmann::json::parse(r.out);
    ASSERT_TRUE(rows.is_array());
    ASSERT_EQ(rows.size(), 4u);
    const Place* places[] = {&kLondon, &kNewYork, &kSydney, &kKathmandu};
    const char* locals[] = {"2008-07-15T13:00:00+01:00", "2008-07-15T08:00:00-04:00",
                            "2008-07-15T22:00:00+10:00", "2008-07-15T17:45:00+05:45"};
    for (std::size_t i = 0; i < 4; ++i) {
        const Place& p = *places[i];
        const auto& row = rows[i];
        SCOPED_TRACE(p.name);
        EXPECT_EQ(row.at("id").get<int>(), p.id);
        EXPECT_EQ(row.at("name").get<std::string>(), p.name);
        EXPECT_EQ(row.at("home").get<bool>(), i == 0);
        EXPECT_EQ(row.at("local").get<std::string>(), locals[i]);
        EXPECT_EQ(row.at("utc_offset_minutes").get<int>(), p.julyOffset);
        EXPECT_EQ(row.at("offset_minutes").get<int>(), p.julyOffset - kLondon.julyOffset);
        EXPECT_EQ(row.at("summer").get<bool>(), p.julyOffset > std::min(p.januaryOffset, p.julyOffset));
        // Kilometres whatever the units setting says.
        EXPECT_NEAR(row.at("distance_km").get<double>(), Kilometres(kLondon, p), 1.0);
        EXPECT_TRUE(row.at("sunrise").get<std::string>().rfind("2008-07-15T", 0) == 0) << row.at("sunrise");
        EXPECT_EQ(row.at("sunset").get<std::string>().size(), 19u) << row.at("sunset");
        EXPECT_FALSE(row.contains("distance"));
    }
    // Polar night: no sunrise or sunset, as null.
    const ProgramResult polar =
        app.Run({"--clock", "--at", "2026-12-20T12:00:00Z", "--format", "json", "--cities", "281"});
    ASSERT_EQ(polar.status, 0) << polar.err;
    const auto murmansk = nlohmann::json::parse(polar.out).at(0);
    EXPECT_TRUE(murmansk.at("sunrise").is_null());
    EXPECT_TRUE(murmansk.at("sunset").is_null());
    EXPECT_EQ(murmansk.at("distance_km").get<double>(), 0.0);
}

TEST_F(CommandLine, TextTableIsAligned) {
    WriteBytes(app.Settings(), SettingsFile("234;292;414;198", 0));
    const ProgramResult r = app.Run({"--clock", "--at", kJanuary});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Split(r.out, '\n');
    ASSERT_GE(lines.size(), 5u);
    const auto column = lines[0].find("Country");
    ASSERT_NE(column, std::string::npos);
    EXPECT_EQ(lines[1].find("United Kingdom"), column);
    EXPECT_EQ(lines[2].find("United States"), column);
    EXPECT_NE(lines[1].find("London (home)"), std::string::npos);
    EXPECT_NE(lines[2].find("5 hours behind"), std::string::npos);

    // Without a mode the program opens its window; with no display it says
    // so in one line and fails.
    const ProgramResult window = app.Run({"--at", kJanuary});
    EXPECT_EQ(window.status, 1);
    EXPECT_EQ(window.out, "");
    EXPECT_EQ(std::count(window.err.begin(), window.err.end(), '\n'), 1) << window.err;
}

TEST_F(CommandLine, InfoPageUsesHomeAsTheOtherCity) {
    WriteBytes(app.Settings(), SettingsFile("234;292", 0, "nearby_citycount,5\r\n"));
    const ProgramResult r = app.Run({"--info", "292", "--at", kJanuary});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("<HTML><TITLE>City Info</TITLE><BODY><B>New York; NY, United States</B><BR>", 0),
              0u);
    EXPECT_NE(r.out.find("<B>Distance from London:</B> " + DistanceText(kLondon, kNewYork, 0)),
              std::string::npos);
    EXPECT_NE(r.out.find("<B>Offset from London:</B> 5 hours behind"), std::string::npos);
    EXPECT_NE(r.out.find("<B>To call from London:</B> 00 1 212"), std::string::npos);
    EXPECT_NE(r.out.find("<B>To call London:</B> 011 44 207"), std::string::npos);
    EXPECT_NE(r.out.find("</BODY></HTML>"), std::string::npos);
    EXPECT_NE(r.out.find("Local time: 07:00, Tue "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" (5 hours behind London)"), std::string::npos);

    // The same page as plain text: the lines without markup.
    const ProgramResult text = app.Run({"--info", "292", "--at", kJanuary, "--format", "text"});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out.find('<'), std::string::npos) << text.out;
    const auto lines = Split(text.out, '\n');
    ASSERT_GT(lines.size(), 12u);
    EXPECT_EQ(lines[0], "New York; NY, United States");
    EXPECT_EQ(lines[1].rfind("Local time: 07:00, Tue ", 0), 0u) << lines[1];
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Offset from London: 5 hours behind"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Nearby Cities"), lines.end());

    // Home itself, or no home at all: no relation lines.
    const ProgramResult home = app.Run({"--info", "234", "--at", kJanuary});
    ASSERT_EQ(home.status, 0);
    EXPECT_EQ(home.out.find("Distance from"), std::string::npos);
    std::filesystem::remove(app.Settings());
    const ProgramResult none = app.Run({"--info", "292", "--at", kJanuary});
    ASSERT_EQ(none.status, 0);
    EXPECT_EQ(none.out.find("Distance from"), std::string::npos);
    EXPECT_NE(none.out.find("Nearby Cities"), std::string::npos);
}

TEST_F(CommandLine, BadArgumentsGiveOneLineAndStatusTwo) {
    WriteBytes(app.Settings(), SettingsFile("234;292", 0));
    struct Case {
        std::vector<std::string> args;
        std::string named;
    };
    const Case cases[] = {
        {{"--bogus"}, "--bogus"},
        {{"--clock", "extra"}, "extra"},
        {{"--clock", "--at", "2008-13-01T00:00:00Z"}, "2008-13-01T00:00:00Z"},
        {{"--clock", "--at", "2008-02-30T00:00:00Z"}, "2008-02-30T00:00:00Z"},
        {{"--clock", "--at", "2008-01-15T12:00:00"}, "2008-01-15T12:00:00"},
        {{"--clock", "--at", "yesterday"}, "yesterday"},
        {{"--clock", "--at"}, "--at"},
        {{"--clock", "--cities", "234;x"}, "234;x"},
        {{"--clock", "--cities", "234;;292"}, "234;;292"},
        {{"--clock", "--cities", "234;"}, "234;"},
        {{"--clock", "--format", "xml"}, "xml"},
        {{"--info", "abc"}, "abc"},
        {{"--info"}, "--info"},
        {{"--clock", "--info", "234"}, "--info"},
        {{"--info", "234", "--format", "json"}, "--format"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        const ProgramResult r = app.Run(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(Split(r.err, '\n').size(), 1u) << r.err;
        EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
    }
    // Unknown city ids are errors that name the id.
    for (const auto& args :
         {std::vector<std::string>{"--info", "84"}, std::vector<std::string>{"--clock", "--cities", "234;84"},
          std::vector<std::string>{"--clock", "--cities", "234;84;292"}}) {
        const ProgramResult r = app.Run(args);
        EXPECT_NE(r.status, 0);
        EXPECT_NE(r.err.find("84"), std::string::npos) << r.err;
    }
    // 0 is as unknown as any other id.
    for (const char* list : {"0", "234;0", "0;234"}) {
        const ProgramResult r = app.Run({"--clock", "--cities", list});
        EXPECT_EQ(r.status, 1) << list;
        EXPECT_NE(r.err.find("unknown city id 0 "), std::string::npos) << r.err;
    }
    const ProgramResult help = app.Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--clock"), std::string::npos);
    const ProgramResult version = app.Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("orbelline ", 0), 0u);
}

TEST_F(CommandLine, NeverWritesTheSettingsFile) {
    const std::string content = SettingsFile("234;292", 0, "unknown_key,kept\r\n");
    WriteBytes(app.Settings(), content);
    ::chmod(app.Settings().c_str(), 0444);
    struct stat before {};
    ::stat(app.Settings().c_str(), &before);
    app.Run({"--clock"});
    app.Run({"--info", "234"});
    app.Run({"--clock", "--format", "json"});
    struct stat after {};
    ::stat(app.Settings().c_str(), &after);
    EXPECT_EQ(ReadBytes(app.Settings()), content);
    EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
    EXPECT_EQ(before.st_ino, after.st_ino);

    std::filesystem::remove(app.Settings());
    app.Run({"--clock", "--cities", "234"});
    EXPECT_FALSE(std::filesystem::exists(app.Settings()));
    EXPECT_FALSE(std::filesystem::exists(app.Settings() + ".tmp"));
}

TEST_F(CommandLine, UnitsFollowTheLocaleOnlyWithoutAFile) {
    const std::vector<std::string> args = {"--clock", "--format", "tsv", "--cities", "234;292"};
    EXPECT_NE(ParseTsv(app.Run(args).out).at(1).at("distance").find(" KM"), std::string::npos);

    // A US locale, compiled into the test's own folder so that the machine
    // needs none installed.
    const std::string locales = app.Folder().File("locales");
    const std::string build = "localedef -i en_US -f UTF-8 " + locales + "/en_US.UTF-8 >/dev/null 2>&1";
    std::filesystem::create_directory(locales);
    if (std::system(build.c_str()) != 0)
        GTEST_SKIP() << "localedef cannot build en_US.UTF-8 here";
    const std::vector<std::string> us = {"LOCPATH=" + locales, "LC_ALL=en_US.UTF-8"};
    const auto rows = ParseTsv(app.Run(args, us).out);
    EXPECT_NE(rows.at(1).at("distance").find(" Miles"), std::string::npos);
    WriteBytes(app.Settings(), "shadow,1\r\n");  // a file without "units"
    EXPECT_NE(ParseTsv(app.Run(args, us).out).at(1).at("distance").find(" KM"), std::string::npos);
}

TEST_F(CommandLine, ReadsWhatItCanFromABadSettingsFile) {
    std::string junk;
    unsigned x = 7;
    for (int i = 0; i < 300'000; ++i) {
        x = x * 1103515245u + 12345u;
        junk += static_cast<char>(x >> 24);
    }
    std::string manyLines;
    for (int i = 0; i < 100'000; ++i)
        manyLines += "key" + std::to_string(i) + ",value\r\n";
    std::string manyIds = "cities,292";
    for (int i = 0; i < 10'000; ++i)
        manyIds += ";" + std::to_string(i % 600);

    struct Case {
        const char* what;
        std::string content;
        std::size_t cities;  // rows expected from the file's "cities"
    };
    const Case cases[] = {
        {"binary junk", junk, 0},
        {"junk then cities", junk + "\ncities,234;292\n", 2},
        {"100,000 lines", manyLines + "cities,234\r\n", 1},
        {"a line of 1,000,000 characters",
         "cities,234\n" + std::string(1'000'000, 'x') + ",cities,1;2;3\nunits,1\n", 1},
        {"no final newline", "units,0\r\ncities,234;414", 2},
        {"mixed line ends", "units,0\r\ncities,234;292;414\nmain_time_format,1\r\n", 3},
        {"10,000 ids", manyIds + "\r\n", 578},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(app.Settings(), c.content);
        const ProgramResult r = app.Run({"--clock", "--format", "tsv", "--at", kJanuary}, {}, 60);
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(ParseTsv(r.out).size(), c.cities);
        EXPECT_EQ(app.Run({"--info", "234", "--at", kJanuary}, {}, 60).status, 0);
    }
}

TEST_F(CommandLine, TimesAtTheEndsOfTheCalendarAreRefusedOrRight) {
    WriteBytes(app.Settings(), SettingsFile("234;292;414;198", 0));
    // Instants at which some zone's local time leaves the calendar are refused.
    for (const char* instant :
         {"1601-01-01T00:00:00Z", "1601-01-01T04:59:59Z", "9999-12-31T23:59:59Z", "9999-12-31T12:00:00Z"}) {
        const ProgramResult r = app.Run({"--clock", "--at", instant});
        EXPECT_EQ(r.status, 2) << instant;
        EXPECT_NE(r.err.find(instant), std::string::npos) << r.err;
    }
    // The message names the range; both of its ends are accepted and give
    // local times, offsets and sun times that are right.
    const std::string err = app.Run({"--clock", "--at", "1601-01-01T00:00:00Z"}).err;
    const auto from = err.find("from ");
    ASSERT_NE(from, std::string::npos) << err;
    const std::string first = err.substr(from + 5, 20), last = err.substr(from + 29, 20);
    ASSERT_EQ(err.substr(from + 25, 4), " to ") << err;
    ASSERT_EQ(first.substr(0, 10), "1601-01-01");
    ASSERT_EQ(last.substr(0, 10), "9999-12-31");
    for (const std::string& instant : {first, last}) {
        SCOPED_TRACE(instant);
        const ProgramResult r = app.Run({"--clock", "--at", instant, "--format", "tsv"});
        ASSERT_EQ(r.status, 0) << r.err;
        const auto rows = ParseTsv(r.out);
        ASSERT_EQ(rows.size(), 4u);
        const int utcMinutes = std::stoi(instant.substr(11, 2)) * 60 + std::stoi(instant.substr(14, 2));
        for (const Row& row : rows) {
            SCOPED_TRACE(row.at("name"));
            const int offset = std::stoi(row.at("utc_offset"));
            int local = utcMinutes + offset;
            const int dayShift = local < 0 ? -1 : local >= 1440 ? 1 : 0;
            local = (local + 1440) % 1440;
            EXPECT_EQ(dayShift, 0) << "these four cities stay on the same day";
            char clock[8];
            std::snprintf(clock, sizeof clock, "%02d:%02d", local / 60, local % 60);
            EXPECT_EQ(row.at("time").substr(0, 5), clock);
            EXPECT_EQ(row.at("date"), instant.substr(0, 10));
            // Sunrise before sunset, both on the clock.
            ASSERT_EQ(row.at("sunrise").size(), 5u) << row.at("sunrise");
            ASSERT_EQ(row.at("sunset").size(), 5u) << row.at("sunset");
            EXPECT_LT(row.at("sunrise"), row.at("sunset"));
            // The offset text agrees with the two UTC offsets.
            const int homeOffset = std::stoi(rows[0].at("utc_offset"));
            EXPECT_EQ(row.at("offset"), OffsetText(offset - homeOffset));
        }
    }
}

TEST_F(CommandLine, HostileFilesAndFoldersAreRefusedAtOnceWithAWord) {
    // A FIFO or an endless device in the place of settings.csv: read as no
    // settings, said so, never waited on.
    ASSERT_EQ(::mkfifo(app.Settings().c_str(), 0600), 0);
    ProgramResult r = app.Run({"--clock", "--cities", "234", "--at", kJanuary}, {}, 10);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
    ::unlink(app.Settings().c_str());
    ASSERT_EQ(::symlink("/dev/urandom", app.Settings().c_str()), 0);
    r = app.Run({"--clock", "--at", kJanuary}, {}, 10);
    EXPECT_FALSE(r.timedOut);
    EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
    ::unlink(app.Settings().c_str());

    // A runtime folder open to others stops the program with a message and status 1.
    const std::string runtime = app.Folder().File("runtime");
    ASSERT_EQ(::mkdir(runtime.c_str(), 0777), 0);
    ::chmod(runtime.c_str(), 0777);
    r = app.Run({}, {"XDG_RUNTIME_DIR=" + runtime}, 10);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("has mode 0777, not 0700"), std::string::npos) << r.err;

    // An option name is not a file name.
    r = app.Run({"--headless", "--screenshot", "--view", "map"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--screenshot needs a value"), std::string::npos) << r.err;
}

TEST_F(CommandLine, ScreenshotWithADialogOpenWritesThePictureAndAnUnknownDialogIsNamed) {
    // No settings: the picture still shows the named dialog, not the first-run question.
    const std::string picture = app.Folder().File("dialog.png"), plain = app.Folder().File("view.png");
    ProgramResult r =
        app.Run({"--headless", "--screenshot", picture, "--dialog", "cities", "--screen", "480x640"}, {}, 20);
    EXPECT_EQ(r.status, 0) << r.err;
    r = app.Run({"--headless", "--screenshot", plain, "--screen", "480x640"}, {}, 20);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadBytes(picture).substr(1, 3), "PNG");
    EXPECT_NE(ReadBytes(picture), ReadBytes(plain));
    EXPECT_FALSE(std::filesystem::exists(app.Settings()));
    r = app.Run({"--headless", "--screenshot", picture, "--dialog", "nowhere"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("unknown dialog 'nowhere' (cities, home"), std::string::npos) << r.err;
}
