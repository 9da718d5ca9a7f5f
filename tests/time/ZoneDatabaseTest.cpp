#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "data/City.h"
#include "data/ReferenceLookup.h"
#include "data/ReferenceTables.h"
#include "time/TimeZone.h"
#include "time/ZoneDatabase.h"

using ZEP_Utility::DateTime;
using ZEP_Utility::TimeSpan;
using namespace OBData;

namespace {

constexpr int kAlmaty = 16, kApia = 27, kBerlin = 59, kCasablanca = 345, kDublin = 131, kIstanbul = 187;
constexpr int kLondon = 234, kMexicoCity = 264, kSaoPaulo = 381, kTokyo = 429;

// The cities' clocks read from the system's tz database (tzdata).
class ZoneDatabaseClock : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(LoadReferenceTables());
        if (!DatabaseZone::Load("Europe/London"))
            GTEST_SKIP() << "no tz database at " << GetZoneDatabaseFolder();
    }
    void TearDown() override { ReleaseReferenceData(); }

    static const City& C(int id) { return *GetCity(id); }
    static int Offset(int id, const DateTime& utc) {
        return C(id).GetTimeZone()->GetUtcOffsetAt(utc).GetTotalSeconds() / 60;
    }
    static bool Summer(int id, const DateTime& utc) { return C(id).GetTimeZone()->IsSummerTimeAt(utc); }
};

}  // namespace

TEST_F(ZoneDatabaseClock, ChangesTheOldTableMissed) {
    // Brazil ended summer time in 2019.
    EXPECT_EQ(Offset(kSaoPaulo, DateTime(2018, 1, 15, 12)), -120);
    EXPECT_TRUE(Summer(kSaoPaulo, DateTime(2018, 1, 15, 12)));
    EXPECT_EQ(Offset(kSaoPaulo, DateTime(2026, 1, 15, 12)), -180);
    EXPECT_FALSE(Summer(kSaoPaulo, DateTime(2026, 1, 15, 12)));
    EXPECT_EQ(C(kSaoPaulo).GetLocalTime(DateTime(2026, 12, 9, 1, 27)), DateTime(2026, 12, 8, 22, 27));
    // Turkey stayed on +3 from September 2016: standard time, not summer time.
    EXPECT_EQ(Offset(kIstanbul, DateTime(2016, 1, 15)), 120);
    EXPECT_EQ(Offset(kIstanbul, DateTime(2017, 1, 15)), 180);
    EXPECT_FALSE(Summer(kIstanbul, DateTime(2017, 1, 15)));
    EXPECT_TRUE(Summer(kIstanbul, DateTime(2016, 7, 1)));
    EXPECT_EQ(C(kIstanbul).GetTimeZone()->GetCurrentDisplayName(DateTime(2026, 12, 9)),
              L"(GMT+03:00) Istanbul");
    // Samoa skipped 30 December 2011 to cross the date line.
    EXPECT_EQ(C(kApia).GetLocalTime(DateTime(2011, 12, 30, 9, 59)), DateTime(2011, 12, 29, 23, 59));
    EXPECT_EQ(C(kApia).GetLocalTime(DateTime(2011, 12, 30, 10, 0)), DateTime(2011, 12, 31, 0, 0));
    // Mexico dropped summer time after 2022; Kazakhstan moved to +5 in March 2024.
    EXPECT_EQ(Offset(kMexicoCity, DateTime(2022, 7, 1)), -300);
    EXPECT_EQ(Offset(kMexicoCity, DateTime(2023, 7, 1)), -360);
    EXPECT_EQ(Offset(kAlmaty, DateTime(2024, 2, 1)), 360);
    EXPECT_EQ(Offset(kAlmaty, DateTime(2024, 6, 1)), 300);
}

TEST_F(ZoneDatabaseClock, SummerTimeIsAClockAheadOfTheWinterClock) {
    // The database writes Ireland's winter as "negative summer time".
    EXPECT_TRUE(Summer(kDublin, DateTime(2026, 7, 1)));
    EXPECT_FALSE(Summer(kDublin, DateTime(2026, 1, 15)));
    EXPECT_EQ(C(kDublin).GetTimeZone()->GetStandardOffsetMinutes(DateTime(2026, 7, 1)), 0);
    // Morocco keeps +1 and steps back an hour in Ramadan: never summer time.
    EXPECT_EQ(Offset(kCasablanca, DateTime(2026, 3, 1)), 0);
    EXPECT_EQ(Offset(kCasablanca, DateTime(2026, 7, 1)), 60);
    for (int month = 1; month <= 12; ++month)
        EXPECT_FALSE(Summer(kCasablanca, DateTime(2026, month, 1))) << month;
    EXPECT_EQ(C(kCasablanca).GetTimeZone()->GetStandardOffsetMinutes(DateTime(2026, 3, 1)), 60);
}

TEST_F(ZoneDatabaseClock, OffsetsFromHomeAndThePlannerAtTheChange) {
    // The hour after Europe's spring change, seen from Berlin.
    const DateTime t(2026, 3, 29, 1, 30);
    EXPECT_EQ(C(kBerlin).GetOffsetText(C(kLondon), t), L"1 hour behind");
    EXPECT_EQ(C(kBerlin).GetOffsetText(C(kTokyo), t), L"7 hours ahead");
    const TimeZone& berlin = *C(kBerlin).GetTimeZone();
    // A skipped time moves on by the gap; a repeated one gives the earlier instant.
    EXPECT_EQ(berlin.ToUniversalTime(DateTime(2026, 3, 29, 2, 30)), DateTime(2026, 3, 29, 1, 30));
    EXPECT_EQ(berlin.ToUniversalTime(DateTime(2026, 10, 25, 2, 30)), DateTime(2026, 10, 25, 0, 30));
    EXPECT_EQ(berlin.GetDaylightSummary(DateTime(2026, 12, 9)).empty(), false);
    EXPECT_EQ(C(kTokyo).GetTimeZone()->GetDaylightSummary(DateTime(2026, 12, 9)),
              L"no daylight savings time");
}

TEST_F(ZoneDatabaseClock, NextClockChange) {
    const auto change = GetNextClockChange(C(kLondon), DateTime(2026, 12, 9), TimeSpan(200, 0, 0, 0));
    ASSERT_TRUE(change);
    EXPECT_EQ(change->utc, DateTime(2027, 3, 28, 1, 0));
    EXPECT_EQ(change->offsetBeforeMinutes, 0);
    EXPECT_EQ(change->offsetAfterMinutes, 60);
    EXPECT_FALSE(GetNextClockChange(C(kLondon), DateTime(2026, 12, 9), TimeSpan(30, 0, 0, 0)));
    EXPECT_FALSE(GetNextClockChange(C(kTokyo), DateTime(2026, 12, 9), TimeSpan(3650, 0, 0, 0)));
    // Morocco's step back and forward around Ramadan are changes of the clock.
    const auto ramadan = GetNextClockChange(C(kCasablanca), DateTime(2026, 1, 1), TimeSpan(120, 0, 0, 0));
    ASSERT_TRUE(ramadan);
    EXPECT_EQ(ramadan->offsetAfterMinutes, 0);
}

// Without a usable database every city keeps the built-in rules, and a broken
// zone file neither crashes nor blocks.
TEST(ZoneDatabaseFallback, EmptyOrBrokenDatabaseKeepsTheBuiltInRules) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("ob-tzdir-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir / "Broken");
    std::ofstream(dir / "Broken" / "Zone") << "not a zone file";
    ASSERT_EQ(::mkfifo((dir / "Broken" / "Fifo").c_str(), 0600), 0);
    const char* old = std::getenv("TZDIR");
    const std::string saved = old ? old : "";
    ::setenv("TZDIR", dir.c_str(), 1);

    EXPECT_EQ(DatabaseZone::Load("Broken/Zone"), nullptr);
    EXPECT_EQ(DatabaseZone::Load("Broken/Fifo"), nullptr);
    EXPECT_EQ(DatabaseZone::Load("../etc/passwd"), nullptr);
    EXPECT_EQ(DescribeZoneDatabase(), L"built-in rules");
    ASSERT_TRUE(LoadReferenceTables());
    const City& saoPaulo = *GetCity(kSaoPaulo);
    EXPECT_EQ(saoPaulo.GetTimeZone()->GetDatabaseZone(), nullptr);
    // The old table's answer: Brazilian summer time, -2.
    EXPECT_EQ(saoPaulo.GetTimeZone()->GetUtcOffsetAt(DateTime(2026, 1, 15, 12)).GetTotalSeconds(), -7200);
    EXPECT_TRUE(saoPaulo.GetTimeZone()->IsSummerTimeAt(DateTime(2026, 1, 15, 12)));
    EXPECT_EQ(GetCity(kLondon)->GetLocalTime(DateTime(2026, 7, 1, 12)), DateTime(2026, 7, 1, 13));
    const auto change = GetNextClockChange(*GetCity(kLondon), DateTime(2026, 12, 9), TimeSpan(200, 0, 0, 0));
    ASSERT_TRUE(change);
    EXPECT_EQ(change->utc, DateTime(2027, 3, 28, 1, 0));
    ReleaseReferenceData();

    if (old)
        ::setenv("TZDIR", saved.c_str(), 1);
    else
        ::unsetenv("TZDIR");
    std::filesystem::remove_all(dir);
}
