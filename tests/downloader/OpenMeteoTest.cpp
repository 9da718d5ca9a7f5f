#include <gtest/gtest.h>

#include "support/FakeForecastService.h"
#include "downloader/pump/OpenMeteo.h"
#include "downloader/pump/WeatherCodes.h"

using namespace OBPump;

TEST(ForecastRequest, SendsOnlyThePositionAndTheDailyVariables) {
    ForecastRequest request;
    request.latitude = 51.5;
    request.longitude = -0.1167;
    const std::string url = BuildForecastUrl("https://example.org/v1/forecast", request);
    EXPECT_EQ(url,
              "https://example.org/v1/forecast?latitude=51.5000&longitude=-0.1167"
              "&daily=weather_code,temperature_2m_max,temperature_2m_min,precipitation_sum,"
              "precipitation_probability_max,wind_speed_10m_max,wind_direction_10m_dominant"
              "&timezone=auto&past_days=1&forecast_days=7"
              "&temperature_unit=celsius&wind_speed_unit=kmh&precipitation_unit=mm");

    // A mirror address that carries its own query keeps it.
    request.timezone = "America/New_York";
    const std::string mirror = BuildForecastUrl("http://mirror/forecast?key=1", request);
    EXPECT_EQ(mirror.rfind("http://mirror/forecast?key=1&latitude=", 0), 0u) << mirror;
    EXPECT_NE(mirror.find("&timezone=America/New_York&"), std::string::npos) << mirror;
}

TEST(ForecastAnswer, ReadsEveryDayAndKeepsNullsAsMissing) {
    const std::string json = R"({"timezone":"Europe/Amsterdam","daily":{
        "time":["2026-12-07","2026-12-08","2026-12-09"],
        "weather_code":[63,null,0],
        "temperature_2m_max":[7.4,-2,null],
        "temperature_2m_min":[2.1,-8.5,null],
        "precipitation_sum":[4.2,0,null],
        "precipitation_probability_max":[80,null,0],
        "wind_speed_10m_max":[18,5.5,null],
        "wind_direction_10m_dominant":[225,359.6,null]}})";
    const ParsedForecast parsed = ParseForecast(json);
    ASSERT_TRUE(parsed.forecast) << parsed.error;
    const Forecast& f = *parsed.forecast;
    EXPECT_EQ(f.timezone, "Europe/Amsterdam");
    ASSERT_EQ(f.days.size(), 3u);
    EXPECT_EQ(f.days[0].year, 2026);
    EXPECT_EQ(f.days[0].month, 12);
    EXPECT_EQ(f.days[0].day, 7);
    EXPECT_EQ(f.days[0].weatherCode, 63);
    EXPECT_DOUBLE_EQ(*f.days[0].temperatureMax, 7.4);
    EXPECT_DOUBLE_EQ(*f.days[0].precipitationProbability, 80);
    EXPECT_FALSE(f.days[1].weatherCode);
    EXPECT_DOUBLE_EQ(*f.days[1].temperatureMin, -8.5);
    EXPECT_FALSE(f.days[2].temperatureMax);
    EXPECT_FALSE(f.days[2].windDirection);

    // Columns the service left out entirely are missing on every day.
    const ParsedForecast sparse = ParseForecast(R"({"daily":{"time":["2026-01-05"],"weather_code":[3]}})");
    ASSERT_TRUE(sparse.forecast) << sparse.error;
    EXPECT_TRUE(sparse.forecast->timezone.empty());
    EXPECT_FALSE(sparse.forecast->days[0].temperatureMax);

    // The fake service's answers are well-formed answers.
    const ParsedForecast generated = ParseForecast(OBPumpTest::ForecastJson("2026-12-07", 8));
    ASSERT_TRUE(generated.forecast) << generated.error;
    EXPECT_EQ(generated.forecast->days.size(), 8u);
}

TEST(ForecastAnswer, RefusesMalformedInconsistentAndImplausibleAnswers) {
    const char* bad[] = {
        "",
        "not json",
        R"({"daily":{"time":["2026-12-07"],"weather_code":[63])",  // cut short
        "[1,2,3]",
        R"({"error":true,"reason":"Latitude must be in range of -90 to 90°."})",
        R"({"latitude":1})",  // no daily block
        R"({"daily":{"time":[]}})",
        R"({"daily":{"time":"2026-12-07"}})",
        R"({"daily":{"time":["2026-12-7"]}})",  // not zero-padded: not ISO
        R"({"daily":{"time":["2026-02-30"]}})",
        R"({"daily":{"time":["2026-12-07T00:00"]}})",
        R"({"daily":{"time":["2026-12-07","2026-12-07"]}})",
        R"({"daily":{"time":["2026-12-07","2026-12-08"],"temperature_2m_max":[1]}})",
        R"({"daily":{"time":["2026-12-07"],"temperature_2m_max":["7"]}})",
        R"({"daily":{"time":["2026-12-07"],"temperature_2m_max":[1e300]}})",
        R"({"daily":{"time":["2026-12-07"],"weather_code":[6.5]}})",
        R"({"daily":{"time":["2026-12-07"],"weather_code":[-1]}})",
        R"({"daily":{"time":["2026-12-07"],"precipitation_probability_max":[140]}})",
        R"({"daily":{"time":["2026-12-07"],"wind_speed_10m_max":{"a":1}}})",
    };
    for (const char* text : bad) {
        const ParsedForecast parsed = ParseForecast(text);
        EXPECT_FALSE(parsed.forecast) << text;
        EXPECT_FALSE(parsed.error.empty()) << text;
    }
    EXPECT_NE(ParseForecast(bad[4]).error.find("Latitude must be"), std::string::npos);

    // Deep nesting is refused without exhausting the stack.
    const std::string deep = std::string(500000, '[') + std::string(500000, ']');
    EXPECT_FALSE(ParseForecast(deep).forecast);

    // A zone name that is not one (markup, control characters) is dropped, not written.
    const ParsedForecast odd = ParseForecast(R"({"timezone":"<b>\u0001","daily":{"time":["2026-12-07"]}})");
    ASSERT_TRUE(odd.forecast);
    EXPECT_TRUE(odd.forecast->timezone.empty());
}

TEST(ForecastAnswer, ServiceErrorReasonIsShortAndSafe) {
    EXPECT_EQ(ServiceErrorReason(R"({"error":true,"reason":"Bad"})"), "Bad");
    EXPECT_EQ(ServiceErrorReason("<html>500</html>"), "");
    EXPECT_EQ(ServiceErrorReason(R"({"reason":42})"), "");
    EXPECT_EQ(ServiceErrorReason("{\"reason\":\"" + std::string(5000, 'x') + "\"}").size(), 200u);
}

TEST(WeatherCodes, MapToTheIconSetNamesAndTexts) {
    EXPECT_STREQ(LookForCode(0).icon, "sunny");
    EXPECT_STREQ(LookForCode(63).icon, "rain");
    EXPECT_STREQ(LookForCode(63).conditions, "Rain");
    EXPECT_STREQ(LookForCode(48).icon, "fog");
    EXPECT_STREQ(LookForCode(48).conditions, "Depositing rime fog");
    EXPECT_STREQ(LookForCode(82).icon, "heavy_showers");
    EXPECT_STREQ(LookForCode(99).icon, "thunderstorm_hail");
    // Codes the table lacks and missing codes show the no-report picture.
    EXPECT_STREQ(LookForCode(4).icon, "no_report");
    EXPECT_STREQ(LookForCode(std::nullopt).icon, "no_report");
    EXPECT_STREQ(LookForCode(std::nullopt).conditions, "No report");
}

TEST(WeatherCodes, CompassPointsSplitTheCircleEvenly) {
    EXPECT_STREQ(CompassPoint(0), "N");
    EXPECT_STREQ(CompassPoint(11.2), "N");
    EXPECT_STREQ(CompassPoint(349), "N");
    EXPECT_STREQ(CompassPoint(348.7), "NNW");
    EXPECT_STREQ(CompassPoint(11.3), "NNE");
    EXPECT_STREQ(CompassPoint(90), "E");
    EXPECT_STREQ(CompassPoint(225), "SW");
    EXPECT_STREQ(CompassPoint(360), "N");
    EXPECT_STREQ(CompassPoint(-90), "W");
}
