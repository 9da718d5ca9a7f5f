#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "downloader/pump/ForecastDocument.h"

using namespace OBPump;

namespace {

std::string At(const pugi::xml_node& node, const char* path) {
    const pugi::xpath_node found = node.select_node(path);
    return found ? found.node().text().get() : "<absent>";
}

}  // namespace

TEST(ForecastFile, HoldsWhatTheReaderAndTheTemplatesLookFor) {
    Forecast forecast;
    forecast.timezone = "Europe/Amsterdam";
    DailyForecast wet;
    wet.year = 2026;
    wet.month = 3;
    wet.day = 7;
    wet.weatherCode = 63;
    wet.temperatureMax = 7.4;
    wet.temperatureMin = -0.04;  // rounds to a zero without a sign
    wet.precipitationSum = 4.2;
    wet.precipitationProbability = 80;
    wet.windSpeedMax = 18;
    wet.windDirection = 359.6;
    DailyForecast empty;
    empty.year = 2026;
    empty.month = 3;
    empty.day = 8;
    forecast.days = {wet, empty};

    const std::string xml = BuildForecastXml(forecast, {52.37, 4.89, "2026-12-08T07:00:00Z"});
    // The program finds the root by this exact text.
    EXPECT_NE(xml.find("\n<obWeather>\n"), std::string::npos) << xml;
    EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(xml.c_str())) << xml;
    const pugi::xml_node root = doc.document_element();
    EXPECT_EQ(At(root, "/obWeather/location/latitude"), "52.37");
    EXPECT_EQ(At(root, "/obWeather/location/timezone"), "Europe/Amsterdam");
    EXPECT_EQ(At(root, "/obWeather/forecast/issued"), "2026-12-08T07:00:00Z");
    EXPECT_EQ(At(root, "/obWeather/forecast/source"), "Open-Meteo");
    EXPECT_EQ(root.select_nodes("/obWeather/forecast/forecastDays/forecastDay").size(), 2u);
    EXPECT_FALSE(root.child("city"));

    const pugi::xml_node first = root.select_node("//forecastDay[date/day='7' and date/month='3']").node();
    ASSERT_TRUE(first);
    EXPECT_EQ(At(first, "date/year"), "2026");
    EXPECT_EQ(At(first, "high/temperature/ambient"), "7.4");
    EXPECT_EQ(At(first, "high/temperature/units"), "0");
    EXPECT_EQ(At(first, "low/temperature/ambient"), "0");
    EXPECT_EQ(At(first, "dayPart/display/icon"), "rain");
    EXPECT_EQ(At(first, "dayPart/display/conditions"), "Rain");
    EXPECT_EQ(At(first, "dayPart/display/weatherCode"), "63");
    EXPECT_EQ(At(first, "dayPart/precipitation/amount"), "4.2");
    EXPECT_EQ(At(first, "dayPart/precipitation/units"), "mm");
    EXPECT_EQ(At(first, "dayPart/precipitation/probability"), "80");
    EXPECT_EQ(At(first, "dayPart/wind/speed"), "18.0");
    EXPECT_EQ(At(first, "dayPart/wind/units"), "km/h");
    EXPECT_EQ(At(first, "dayPart/wind/direction"), "0");
    EXPECT_EQ(At(first, "dayPart/wind/compass"), "N");

    // Values the service did not give are absent elements, never empty ones.
    const pugi::xml_node second = root.select_node("//forecastDay[date/day='8']").node();
    ASSERT_TRUE(second);
    EXPECT_FALSE(second.child("high"));
    EXPECT_FALSE(second.child("low"));
    EXPECT_EQ(At(second, "dayPart/display/icon"), "no_report");
    EXPECT_EQ(At(second, "dayPart/display/weatherCode"), "<absent>");
    EXPECT_EQ(At(second, "dayPart/precipitation"), "<absent>");
    EXPECT_EQ(At(second, "dayPart/wind"), "<absent>");
    EXPECT_EQ(xml.find("/>"), std::string::npos) << "an empty element was written";
}

TEST(ForecastFile, NumbersAreCLocaleAndTrimmedWhereTheFormatSaysSo) {
    EXPECT_EQ(FormatNumber(7.4, 1, false), "7.4");
    EXPECT_EQ(FormatNumber(-2.0, 1, false), "-2");
    EXPECT_EQ(FormatNumber(10.0, 1, false), "10");
    EXPECT_EQ(FormatNumber(-0.04, 1, false), "0");
    EXPECT_EQ(FormatNumber(-0.04, 1, true), "0.0");
    EXPECT_EQ(FormatNumber(18.0, 1, true), "18.0");
    EXPECT_EQ(FormatNumber(4.25, 1, true), "4.2");  // binary 4.25 is exact: round half to even
    EXPECT_EQ(FormatNumber(79.6, 0, false), "80");
    EXPECT_EQ(FormatNumber(-33.8688, 4, false), "-33.8688");
    EXPECT_EQ(IsoUtc(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(IsoUtc(1796713200), "2026-12-08T07:00:00Z");
}
