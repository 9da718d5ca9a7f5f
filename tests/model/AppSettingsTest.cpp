#include "model/AppSettings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "data/City.h"
#include "data/Country.h"
#include "data/ReferenceLookup.h"
#include "data/ReferenceTables.h"
#include "support/TempFolder.h"

using ob::test::ReadBytes;
using ob::test::TestFolder;
using ob::test::WriteBytes;

namespace {

bool Metric() { return false; }
bool Us() { return true; }

class AppSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(OBData::LoadReferenceTables()); }
};

}  // namespace

TEST_F(AppSettingsTest, DefaultsWithoutAFileFollowTheLocaleForUnitsOnly) {
    TestFolder dir;
    AppSettings metric(Metric);
    EXPECT_FALSE(metric.LoadFile(dir.WFile("settings.csv")));
    EXPECT_EQ(metric.GetUnits(), 0);
    EXPECT_EQ(metric.GetTemperatureUnits(), 0);
    EXPECT_EQ(metric.GetMainTimeFormat(), 0);
    EXPECT_EQ(metric.GetTab(), 0);
    EXPECT_TRUE(metric.GetLongCountry());
    EXPECT_TRUE(metric.GetShadow());
    EXPECT_FALSE(metric.GetDebug());
    const NearbySettings nearby = metric.GetNearby();
    EXPECT_FALSE(nearby.byDistance);
    EXPECT_EQ(nearby.cityCount, 20);
    EXPECT_EQ(nearby.distanceKm, 500.0);
    EXPECT_EQ(metric.GetCityViewFontSize(), 8);
    EXPECT_EQ(metric.GetMapViewFontSize(), 8);
    EXPECT_EQ(metric.GetWeatherViewFontSize(), 9);
    EXPECT_EQ(metric.GetWeatherViewSmallFontSize(), 8);
    EXPECT_TRUE(metric.GetCityViewExtraInfo());
    EXPECT_FALSE(metric.GetPlannerViewExtraInfo());
    EXPECT_TRUE(metric.GetWeatherUseCradle());
    EXPECT_TRUE(metric.GetWeatherUseNetwork());
    EXPECT_FALSE(metric.GetWeatherUsePhone());
    EXPECT_TRUE(metric.GetWeatherKillDownloader());
    EXPECT_TRUE(metric.GetWeatherUpdateWarning());
    EXPECT_EQ(metric.GetLogLevel(), 5);
    EXPECT_EQ(metric.GetCities().GetCount(), 0);

    AppSettings us(Us);
    us.LoadFile(dir.WFile("settings.csv"));
    EXPECT_EQ(us.GetUnits(), 1);
    EXPECT_EQ(us.GetTemperatureUnits(), 1);

    // A file that lacks the unit keys gives kilometres and Celsius anywhere.
    WriteBytes(dir.File("settings.csv"), "shadow,0\r\n");
    AppSettings usWithFile(Us);
    EXPECT_TRUE(usWithFile.LoadFile(dir.WFile("settings.csv")));
    EXPECT_EQ(usWithFile.GetUnits(), 0);
    EXPECT_EQ(usWithFile.GetTemperatureUnits(), 0);
    EXPECT_FALSE(usWithFile.GetShadow());
}

TEST_F(AppSettingsTest, BoolsAreOnOnlyForOneAndBadNumbersKeepDefaults) {
    TestFolder dir;
    WriteBytes(dir.File("settings.csv"),
               "shadow,2\r\n"              // on by default, 2 is off
               "debug,1   \r\n"            // off by default, 1 with blanks is on
               "long_country,yes\r\n"      // not a number: the default (on) stays
               "weatherusephone,word\r\n"  // not a number: the default (off) stays
               "nearby_type,1\r\n"
               "nearby_citycount,x\r\n"
               "nearby_distance,250.500000\r\n"
               "units,2\r\n"
               "loglevel,\r\n"
               "tab, 2\r\n");
    AppSettings s(Us);
    ASSERT_TRUE(s.LoadFile(dir.WFile("settings.csv")));
    EXPECT_FALSE(s.GetShadow());
    EXPECT_TRUE(s.GetDebug());
    EXPECT_TRUE(s.GetLongCountry());
    EXPECT_FALSE(s.GetWeatherUsePhone());
    const NearbySettings nearby = s.GetNearby();
    EXPECT_TRUE(nearby.byDistance);
    EXPECT_EQ(nearby.cityCount, 20);
    EXPECT_EQ(nearby.distanceKm, 250.5);
    EXPECT_EQ(s.GetUnits(), 2);
    EXPECT_EQ(s.GetTemperatureUnits(), 0);  // missing from a file that was read
    EXPECT_EQ(s.GetLogLevel(), 5);
    EXPECT_EQ(s.GetTab(), 2);
}

TEST_F(AppSettingsTest, SaveAllWritesEveryKeyAndKeepsUnknownOnes) {
    TestFolder dir;
    WriteBytes(dir.File("settings.csv"),
               "cities,292;84;292;-5;;abc;414\r\n"
               "mapview_list,1,0,2\r\n"
               "zz_unknown,kept, with commas\r\n"
               " units,9\r\n");
    AppSettings s(Metric);
    ASSERT_TRUE(s.LoadFile(dir.WFile("settings.csv")));
    EXPECT_EQ(s.GetCities().ToText(), L"292;414");
    s.SetUnits(1);
    NearbySettings nearby;
    nearby.cityCount = 7;
    s.SetNearby(nearby);
    s.GetCities().AddCity(234);
    s.GetCities().SetHomeCity(2);
    ASSERT_TRUE(s.SaveAll(dir.WFile("settings.csv")));

    EXPECT_EQ(ReadBytes(dir.File("settings.csv")),
              " units,9\r\n"
              "cities,234;292;414\r\n"
              "cityview_extrainfo,1\r\n"
              "cityview_fontsize,8\r\n"
              "debug,0\r\n"
              "loglevel,5\r\n"
              "long_country,1\r\n"
              "main_time_format,0\r\n"
              "map_twilight,1\r\n"
              "mapview_fontsize,8\r\n"
              "mapview_list,1,0,2\r\n"
              "nearby_citycount,7\r\n"
              "nearby_distance,500.000000\r\n"
              "nearby_type,0\r\n"
              "plannerview_extrainfo,0\r\n"
              "shadow,1\r\n"
              "tab,0\r\n"
              "temperature_units,0\r\n"
              "units,1\r\n"
              "weatherkilldownloader,1\r\n"
              "weatherupdatewarning,1\r\n"
              "weatherusecradle,1\r\n"
              "weatherusenetwork,1\r\n"
              "weatherusephone,0\r\n"
              "weatherview_fontsize,9\r\n"
              "weatherview_smallfontsize,8\r\n"
              "work_end,17\r\n"
              "work_start,9\r\n"
              "zz_unknown,kept, with commas\r\n");

    AppSettings back(Us);
    ASSERT_TRUE(back.LoadFile(dir.WFile("settings.csv")));
    EXPECT_EQ(back.GetUnits(), 1);
    EXPECT_EQ(back.GetNearby().cityCount, 7);
    EXPECT_EQ(back.GetNearby().distanceKm, 500.0);
    EXPECT_EQ(back.GetCities().ToText(), L"234;292;414");
}

TEST_F(AppSettingsTest, ValuesAreReadOnceAndSettersAreNotOverwritten) {
    TestFolder dir;
    WriteBytes(dir.File("settings.csv"), "units,2\r\nshadow,0\r\n");
    AppSettings s(Metric);
    s.LoadFile(dir.WFile("settings.csv"));
    // A setter before any getter still sees the file's other values.
    s.SetShadow(true);
    EXPECT_TRUE(s.GetShadow());
    EXPECT_EQ(s.GetUnits(), 2);
    // A later load of the store does not change the typed values.
    WriteBytes(dir.File("settings.csv"), "units,0\r\n");
    s.LoadFile(dir.WFile("settings.csv"));
    EXPECT_EQ(s.GetUnits(), 2);
}

TEST_F(AppSettingsTest, UnknownUnitsReadAsDefaultAndARefusedFileIsNeverSavedOver) {
    TestFolder dir;
    WriteBytes(dir.File("settings.csv"), "units,7\r\ntemperature_units,-1\r\n");
    AppSettings settings(Us);
    ASSERT_TRUE(settings.LoadFile(dir.WFile("settings.csv")));
    EXPECT_EQ(settings.GetUnits(), 0);
    EXPECT_EQ(settings.GetTemperatureUnits(), 0);

    // A file too large to read is left as it is by every later save.
    const std::string huge = dir.File("huge.csv");
    WriteBytes(huge, "units,1\r\n");
    std::filesystem::resize_file(huge, ZEP_Utility::Settings::kMaxFileBytes + 10);
    AppSettings refused(Metric);
    EXPECT_FALSE(refused.LoadFile(dir.WFile("huge.csv")));
    EXPECT_FALSE(refused.SaveAll(dir.WFile("huge.csv")));
    EXPECT_EQ(std::filesystem::file_size(huge), ZEP_Utility::Settings::kMaxFileBytes + 10);
}

TEST_F(AppSettingsTest, ASaveKeepsWhatAnotherProgramChangedInLinesOursDoesNotOwn) {
    TestFolder dir;
    const std::string file = dir.File("settings.csv");
    WriteBytes(file, "# ours\r\ngone,1\r\nother_tool,1\r\ntab,0\r\n");
    AppSettings s(Metric);
    ASSERT_TRUE(s.LoadFile(dir.WFile("settings.csv")));
    s.SetTab(2);
    // Edited while the program runs: by a program that rewrites the file in
    // place, then by one that writes a new file and renames it over.
    WriteBytes(file, "# theirs\r\nadded,x\r\nother_tool,22\r\ntab,3\r\n");
    ASSERT_TRUE(s.SaveAll(dir.WFile("settings.csv")));
    std::string text = ReadBytes(file);
    EXPECT_EQ(text.rfind("# theirs\r\n", 0), 0u) << text;
    for (const char* line : {"added,x\r\n", "other_tool,22\r\n", "tab,2\r\n", "units,0\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in " << text;
    EXPECT_EQ(text.find("gone,"), std::string::npos) << text;
    WriteBytes(file + ".new", text + "later,1\r\n");
    std::filesystem::rename(file + ".new", file);
    ASSERT_TRUE(s.SaveAll(dir.WFile("settings.csv")));
    text = ReadBytes(file);
    EXPECT_NE(text.find("later,1\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("added,x\r\n"), std::string::npos) << text;
}
