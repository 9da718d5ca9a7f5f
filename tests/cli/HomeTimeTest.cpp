// --clock --home-time: the world clock at the instant when the home city's
// clock reads a given time, checked against instants worked out here from
// each zone's 2026 changes of offset, written down in UTC.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/RunProgram.h"

using ob::test::AppFolder;
using ob::test::ProgramResult;
using ob::test::Split;

namespace {

// Minutes since 2026-01-01 00:00 of either clock; enough for one year.
int Minutes(int month, int day, int hour, int minute) {
    static constexpr int kBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    return ((kBefore[month - 1] + day - 1) * 24 + hour) * 60 + minute;
}

std::string Stamp(int minutes, bool withSeconds) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int day = minutes / 1440, month = 0;
    while (day >= kDays[month])
        day -= kDays[month++];
    char text[32];
    std::snprintf(text, sizeof text,
                  withSeconds ? "2026-%02d-%02d\t%02d:%02d:00" : "2026-%02d-%02dT%02d:%02d", month + 1,
                  day + 1, minutes % 1440 / 60, minutes % 60);
    return text;
}

struct Zone {
    int city;
    int standard, summer;      // offsets from UTC in minutes
    int summerFrom, summerTo;  // UTC instants (minutes) of the 2026 changes
    bool southern;             // summer time spans the new year
    int Offset(int utc) const {
        const bool inSummer =
            southern ? (utc < summerTo || utc >= summerFrom) : (utc >= summerFrom && utc < summerTo);
        return inSummer ? summer : standard;
    }
    // The instant the clock reads `clock`: the earliest that does; for a time
    // the clock skips, the instant it reads `clock` moved on by the gap.
    int Instant(int clock) const {
        for (const int target : {clock, clock + std::abs(summer - standard)}) {
            int best = -1;
            for (const int offset : {standard, summer}) {
                const int utc = target - offset;
                if (utc + Offset(utc) == target && (best < 0 || utc < best))
                    best = utc;
            }
            if (best >= 0)
                return best;
        }
        return -1;
    }
};

}  // namespace

TEST(HomeTime, LondonNewYorkAndSydneyAcrossBothChangeDaysOf2026) {
    const Zone zones[] = {
        // London: last Sundays of March and October at 01:00 UTC.
        {234, 0, 60, Minutes(3, 29, 1, 0), Minutes(10, 25, 1, 0), false},
        // New York: 8 March 02:00 EST (07:00 UTC), 1 November 02:00 EDT (06:00 UTC).
        {292, -300, -240, Minutes(3, 8, 7, 0), Minutes(11, 1, 6, 0), false},
        // Sydney: 5 April 03:00 AEDT (4 April 16:00 UTC), 4 October 02:00 AEST (3 October 16:00 UTC).
        {414, 600, 660, Minutes(10, 3, 16, 0), Minutes(4, 4, 16, 0), true},
    };
    AppFolder app;
    int checked = 0;
    for (const Zone& zone : zones) {
        for (const int change : {zone.summerFrom, zone.summerTo}) {
            // The home clock's day of the change.
            const int day = (change + zone.Offset(change)) / 1440 * 1440;
            for (int clock = day + 30; clock < day + 1440; clock += 60) {
                const std::string time = Stamp(clock, false);
                // Reykjavik keeps UTC all year: its row shows the instant.
                const ProgramResult r = app.Run({"--clock", "--cities", std::to_string(zone.city) + ";351",
                                                 "--home-time", time, "--format", "tsv"});
                ASSERT_EQ(r.status, 0) << r.err;
                const auto lines = Split(r.out, '\n');
                ASSERT_GE(lines.size(), 3u);
                const auto home = Split(lines[1], '\t'), utc = Split(lines[2], '\t');
                const int instant = zone.Instant(clock);
                EXPECT_EQ(utc[5] + "\t" + utc[6], Stamp(instant, true)) << zone.city << " at " << time;
                EXPECT_EQ(home[9], std::to_string(zone.Offset(instant))) << zone.city << " at " << time;
                EXPECT_EQ(utc[9], "0");
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, 3 * 2 * 24);

    // The same instant in every format; text shows the home clock after the gap.
    const ProgramResult text = app.Run({"--clock", "--cities", "234;351", "--home-time", "2026-03-29T01:30"});
    EXPECT_NE(text.out.find("2:30 AM"), std::string::npos) << text.out;
    EXPECT_EQ(text.out.rfind("Planned for 2:30 AM Sun 2026-03-29 in London\n", 0), 0u) << text.out;
    const ProgramResult json =
        app.Run({"--clock", "--cities", "234;351", "--home-time", "2026-03-29T01:30:00", "--format", "json"});
    EXPECT_NE(json.out.find("\"time\": \"01:30:00\""), std::string::npos) << json.out;
}

TEST(HomeTime, WithAtOrANonCalendarTimeEndsWithStatus2AndOneLine) {
    AppFolder app;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--clock", "--home-time", "2026-03-29T15:00", "--at", "2026-03-29T15:00Z"},
             {"--clock", "--home-time", "2026-13-01T10:00"},
             {"--clock", "--home-time", "2026-02-30T10:00"},
             {"--clock", "--home-time", "2026-03-29T24:00"},
             {"--clock", "--home-time", "2026-03-29T15:00Z"},
             {"--clock", "--home-time"},
             {"--info", "234", "--home-time", "2026-03-29T15:00"},
         }) {
        const ProgramResult r = app.Run(args);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_NE(app.Run({"--help"}).out.find("--home-time"), std::string::npos);
}
