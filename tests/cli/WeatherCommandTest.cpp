// orbelline --weather: the days of each city's forecast file, read from the
// files alone, as text, tsv and json.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "support/RunProgram.h"

using namespace ob::test;

namespace {

std::string Day(const std::string& day, const std::string& high, const std::string& low,
                const std::string& unit, const std::string& icon) {
    std::string text = "<forecastDay><date><day>" + day + "</day><month>12</month><year>2026</year></date>";
    if (!high.empty())
        text += "<high><temperature><ambient>" + high + "</ambient><units>" + unit +
                "</units></temperature></high>";
    if (!low.empty())
        text +=
            "<low><temperature><ambient>" + low + "</ambient><units>" + unit + "</units></temperature></low>";
    if (!icon.empty())
        text += "<dayPart><display><icon>" + icon +
                "</icon><conditions>Rain, then sun</conditions></display></dayPart>";
    return text + "</forecastDay>";
}

class WeatherCommand : public ::testing::Test {
protected:
    void SetUp() override {
        // London: out of order, the 8th twice, a date the program never
        // selects, a day in Fahrenheit and one without a low.
        Write("f_234.xml", "<obWeather><forecast><forecastDays>" + Day("9", "7.40", "", "0", "") +
                               Day("8", "21.5", "10.4", "0", "rain") + Day("8", "99", "99", "0", "sunny") +
                               Day("07", "1", "1", "0", "fog") + Day("10", "50", "41", "1", "snow") +
                               "</forecastDays></forecast></obWeather>");
        Write("f_414.xml", std::string("\x89PNG\r\n\x1a\n\0\0garbage", 18));  // Sydney's file is not XML
        // A downloader that leaves a mark when started: --weather must not start it.
        WriteBytes(app.Folder().File("ForecastPumpCF"), "#!/bin/sh\ntouch \"$(dirname \"$0\")/started\"\n");
        ::chmod(app.Folder().File("ForecastPumpCF").c_str(), 0755);
    }
    void Write(const std::string& name, const std::string& bytes) {
        std::filesystem::create_directories(app.Folder().Path() / "weather/data");
        WriteBytes(app.Folder().File("weather/data/" + name), bytes);
    }
    AppFolder app;
};

TEST_F(WeatherCommand, EveryReadableDayInDateOrderInAllThreeForms) {
    WriteBytes(app.Settings(), "cities,234;292;414\r\n");
    const ProgramResult tsv = app.Run({"--weather", "--format", "tsv"});
    ASSERT_EQ(tsv.status, 0) << tsv.err;
    EXPECT_EQ(tsv.out,
              "id\tname\tdate\thigh\tlow\tunits\ticon\tconditions\n"
              "234\tLondon\t2026-12-08\t21.5\t10.4\tC\train\tRain, then sun\n"
              "234\tLondon\t2026-12-09\t7.40\t\tC\tno_report\t\n"
              "234\tLondon\t2026-12-10\t10.0\t5.0\tC\tsnow\tRain, then sun\n");

    const ProgramResult json = app.Run({"--weather", "--format", "json"});
    ASSERT_EQ(json.status, 0) << json.err;
    const auto rows = nlohmann::json::parse(json.out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0]["id"], 234);
    EXPECT_EQ(rows[0]["high"], 21.5);
    EXPECT_TRUE(rows[1]["low"].is_null());
    EXPECT_EQ(rows[2]["conditions"], "Rain, then sun");

    // The text form names the cities without a readable forecast.
    const ProgramResult text = app.Run({"--weather"});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("London (234)\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("New York; NY (292): no forecast\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("Sydney; NSW (414): no forecast\n"), std::string::npos) << text.out;
    EXPECT_FALSE(std::filesystem::exists(app.Folder().Path() / "started"));
}

TEST_F(WeatherCommand, FahrenheitWithOneDecimalAndChosenCities) {
    WriteBytes(app.Settings(), "cities,292\r\ntemperature_units,1\r\n");
    const ProgramResult r = app.Run({"--weather", "--cities", "414;234", "--format", "tsv"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("234\tLondon\t2026-12-08\t70.7\t50.7\tF\train"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("234\tLondon\t2026-12-10\t50.0\t41.0\tF\tsnow"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("\t414\t"), std::string::npos);
    // JSON: numbers in the unit asked, and in Celsius beside them.
    const ProgramResult json = app.Run({"--weather", "--cities", "234", "--format", "json"});
    const auto rows = nlohmann::json::parse(json.out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0]["units"], "F");
    EXPECT_DOUBLE_EQ(rows[0]["high"].get<double>(), 70.7);
    EXPECT_DOUBLE_EQ(rows[0]["high_celsius"].get<double>(), 21.5);
    EXPECT_TRUE(rows[1]["low_celsius"].is_null());

    const ProgramResult unknown = app.Run({"--weather", "--cities", "234;99999"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("unknown city id 99999"), std::string::npos) << unknown.err;
    const ProgramResult mixed = app.Run({"--weather", "--info", "234"});
    EXPECT_EQ(mixed.status, 2);
}

}  // namespace
