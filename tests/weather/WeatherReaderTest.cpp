#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/kernel/WideText.h"
#include "util/FileSystem.h"
#include "util/PollingNotifyWindowHost.h"
#include "support/TempFolder.h"
#include "weather/FileUtils.h"
#include "weather/WeatherIcons.h"
#include "weather/WeatherReader.h"

using namespace OBWeather;
using ZEP_Utility::DateTime;
using ZEP_Utility::XMLDoc;
using ob::test::TestFolder;

namespace {

std::string Day(const std::string& day, const std::string& month, const std::string& year,
                const std::string& inner) {
    return "<forecastDay><date><day>" + day + "</day><month>" + month + "</month><year>" + year +
           "</year></date>" + inner + "</forecastDay>";
}
std::string Temps(const std::string& high, const std::string& highUnit, const std::string& low,
                  const std::string& lowUnit) {
    std::string out;
    if (!high.empty() || !highUnit.empty())
        out += "<high><temperature><ambient>" + high + "</ambient><units>" + highUnit +
               "</units></temperature></high>";
    if (!low.empty() || !lowUnit.empty())
        out += "<low><temperature><ambient>" + low + "</ambient><units>" + lowUnit +
               "</units></temperature></low>";
    return out;
}
std::string Icon(const std::string& name) {
    return "<dayPart><display><icon>" + name + "</icon></display></dayPart>";
}
std::string Forecast(const std::string& days) {
    return "<?xml version=\"1.0\"?><obWeather><forecast><forecastDays>" + days +
           "</forecastDays></forecast></obWeather>";
}

// Decodes files whose content starts with "PIC w h"; anything else fails.
struct FakeDecoder : IIconDecoder {
    std::map<std::wstring, int> decodes;
    int live = 0;
    struct Picture {
        int w, h;
    };
    IconBitmap Decode(const std::wstring& path) override {
        ++decodes[ZEP_Utility::GetFileName(path)];
        std::ifstream in(ob::kernel::ToUtf8(path));
        std::string tag;
        int w = 0, h = 0;
        if (!(in >> tag >> w >> h) || tag != "PIC")
            return nullptr;
        ++live;
        return new Picture{w, h};
    }
    void Free(IconBitmap bitmap) override {
        --live;
        delete static_cast<Picture*>(bitmap);
    }
    std::pair<int, int> GetSize(IconBitmap bitmap) override {
        auto* p = static_cast<Picture*>(bitmap);
        return {p->w, p->h};
    }
};

// An app folder of its own: weather/data, weather/html and the icon set.
class WeatherReaderTest : public testing::Test {
protected:
    void SetUp() override {
        FileUtils::OverrideExeFolder(m_app.WPath());
        std::filesystem::create_directories(m_app.File("weather/data"));
        std::filesystem::create_directories(m_app.File("weather/html"));
        std::filesystem::create_directories(m_app.File("weather/images_2"));
        SetIconDecoder(&m_decoder);
    }
    void TearDown() override {
        FreeIcons();
        EXPECT_EQ(m_decoder.live, 0);
        SetIconDecoder(nullptr);
        FileUtils::OverrideExeFolder(L"");
    }
    void WriteForecast(int id, const std::string& xml) {
        m_app.Write("weather/data/f_" + std::to_string(id) + ".xml", xml);
    }

    TestFolder m_app;
    FakeDecoder m_decoder;
    WeatherReader m_reader;
};

}  // namespace

TEST_F(WeatherReaderTest, DaysAreSelectedByExactDateText) {
    WriteForecast(1, Forecast(Day("07", "3", "2009", Temps("1", "0", "1", "0")) +
                              Day("8", "03", "2009", Temps("2", "0", "2", "0")) +
                              Day("7", "3", "2009", Temps("3", "0", "-3", "0")) +
                              Day("7", "3", "2009", Temps("4", "0", "4", "0")) +
                              Day(" 9", "3", "2009", Temps("5", "0", "5", "0"))));
    auto doc = m_reader.OpenForecast(1);
    double high = -99, low = -99;
    ASSERT_TRUE(m_reader.GetTemperatures(doc.get(), DateTime(2009, 3, 7), high, low));
    EXPECT_EQ(high, 3.0);  // "07" is never the 7th; of two 7ths the first counts
    EXPECT_EQ(low, -3.0);
    EXPECT_FALSE(m_reader.GetTemperatures(doc.get(), DateTime(2009, 3, 8), high, low));  // "03"
    EXPECT_FALSE(m_reader.GetTemperatures(doc.get(), DateTime(2009, 3, 9), high, low));  // " 9"
    EXPECT_FALSE(m_reader.GetTemperatures(nullptr, DateTime(2009, 3, 7), high, low));
}

TEST_F(WeatherReaderTest, TemperaturesAreCelsiusWhateverTheFileHolds) {
    WriteForecast(2,
                  Forecast(Day("1", "1", "2010", Temps("212", "1", "21.5", "0")) +
                           Day("2", "1", "2010", Temps("", "", "5", "0")) +
                           Day("3", "1", "2010", Temps("", "1", "", "1")) +
                           Day("4", "1", "2010", Temps("abc", "x", "32", "1")) + Day("5", "1", "2010", "")));
    auto doc = m_reader.OpenForecast(2);
    double high = 0, low = 0;
    ASSERT_TRUE(m_reader.GetTemperatures(doc.get(), DateTime(2010, 1, 1), high, low));
    EXPECT_DOUBLE_EQ(high, 100.0);
    EXPECT_DOUBLE_EQ(low, 21.5);
    ASSERT_TRUE(m_reader.GetTemperatures(doc.get(), DateTime(2010, 1, 2), high, low));  // low only
    EXPECT_TRUE(std::isnan(high));                                                      // no value, not 0
    EXPECT_EQ(low, 5.0);
    EXPECT_FALSE(
        m_reader.GetTemperatures(doc.get(), DateTime(2010, 1, 3), high, low));  // units but no values
    ASSERT_TRUE(m_reader.GetTemperatures(doc.get(), DateTime(2010, 1, 4), high, low));
    EXPECT_TRUE(std::isnan(high));  // not a number: no value
    EXPECT_DOUBLE_EQ(low, 0.0);
    EXPECT_FALSE(m_reader.GetTemperatures(doc.get(), DateTime(2010, 1, 5), high, low));
}

TEST_F(WeatherReaderTest, BadForecastFilesReadAsEmpty) {
    std::string deep;
    for (int i = 0; i < 10000; ++i)
        deep += "<forecastDays>";
    // 3 MB of days is read; 20 MB is more than a forecast file may be and reads as empty.
    std::string big = "<obWeather><forecast><forecastDays>";
    while (big.size() < 3u * 1024 * 1024)
        big += Day("1", "1", "2000", Temps("1", "0", "1", "0"));
    std::string huge = big;
    while (huge.size() < 20u * 1024 * 1024)
        huge += Day("1", "1", "2000", Temps("1", "0", "1", "0"));
    const std::string end =
        Day("8", "12", "2026", Temps("9", "0", "1", "0")) + "</forecastDays></forecast></obWeather>";
    big += end;
    huge += end;
    const std::pair<int, std::string> files[] = {
        {10, "<obWeather><forecast>"},              // truncated
        {11, "<obWeather><forecast></obWeather>"},  // malformed
        {12, "<obWeather>" + deep},                 // deep and unfinished
        {13, "\xFF\xFE\x00\x00garbage"},            // not text at all
        {14, "<!DOCTYPE x [<!ENTITY a \"&#38;#60;\">]><obWeather>&a;&a;</obWeather>"},
        {15, huge},
        {16, big},
    };
    for (const auto& [id, content] : files)
        WriteForecast(id, content);
    LoadIconsFrom(m_app.WFile("weather/images_2"));
    for (int id : {9, 10, 11, 12, 13, 14, 15}) {
        auto doc = m_reader.OpenForecast(id);
        double high, low;
        EXPECT_FALSE(m_reader.GetTemperatures(doc.get(), DateTime(2026, 12, 8), high, low)) << id;
        EXPECT_EQ(m_reader.GetIconBitmap(doc.get(), DateTime(2026, 12, 8)), nullptr) << id;
        if (id != 14) {
            EXPECT_EQ(doc->GetXml(), L"<obWeather><forecast/></obWeather>") << id;
        }
    }
    auto doc = m_reader.OpenForecast(16);
    double high = 0, low = 0;
    ASSERT_TRUE(m_reader.GetTemperatures(doc.get(), DateTime(2026, 12, 8), high, low));
    EXPECT_EQ(high, 9.0);
}

TEST_F(WeatherReaderTest, IconTableTakesFiftyFirstListedNames) {
    const std::string folder = "weather/images_2/";
    for (int i = 0; i < 60; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "i%02d.png", i);
        m_app.Write(folder + name, "PIC 32 32");
    }
    LoadIcons();  // the screen is 240 x 320: images_2
    EXPECT_EQ(IconCount(), kMaxIcons);
    EXPECT_NE(FindIcon(L"i49"), nullptr);
    EXPECT_EQ(FindIcon(L"i50"), nullptr);
    EXPECT_EQ(FindIcon(L"I49"), nullptr);  // names match exactly
    FreeIcons();
    EXPECT_EQ(IconCount(), 0);

    TestFolder set;
    set.Write("rain.bmp", "PIC 16 16");
    set.Write("rain.gif", "PIC 99 99");
    set.Write("a.b.png", "PIC 16 16");
    set.Write("README", "not a picture");
    set.Write("no_report.png", "PIC 16 16");
    LoadIconsFrom(set.WPath());
    EXPECT_EQ(IconCount(), 4);
    // "README" comes first in name order but is no picture: the size is the next one's.
    EXPECT_EQ(GetIconSize(), std::make_pair(16, 16));
    EXPECT_NE(FindIcon(L"rain"), nullptr);
    EXPECT_EQ(m_decoder.decodes[L"rain.bmp"], 1);  // of rain.bmp and rain.gif, the first listed
    EXPECT_EQ(m_decoder.decodes[L"rain.gif"], 0);
    EXPECT_NE(FindIcon(L"a.b"), nullptr);
}

TEST_F(WeatherReaderTest, IconsDecodeOnceAndFailuresRetry) {
    TestFolder set;
    set.Write("sunny.png", "PIC 32 32");
    set.Write("no_report.png", "PIC 32 32");
    set.Write("rain.png", "not a picture at all");  // named like an icon
    LoadIconsFrom(set.WPath());
    WriteForecast(3, Forecast(Day("8", "12", "2026", Icon("sunny")) + Day("9", "12", "2026", Icon("rain")) +
                              Day("10", "12", "2026", "<dayPart><display><icon></icon></display></dayPart>") +
                              Day("11", "12", "2026", Icon("Sunny")) +
                              Day("12", "12", "2026", Icon("rain") + Icon("sunny"))));
    auto doc = m_reader.OpenForecast(3);
    const IconBitmap sunny = m_reader.GetIconBitmap(doc.get(), DateTime(2026, 12, 8));
    ASSERT_NE(sunny, nullptr);
    EXPECT_EQ(m_reader.GetIconBitmap(doc.get(), DateTime(2026, 12, 8)), sunny);
    EXPECT_EQ(m_decoder.decodes[L"sunny.png"], 1);
    const IconBitmap none = m_reader.GetIconBitmap(doc.get(), DateTime(2026, 12, 13));  // missing day
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(m_reader.GetIconBitmap(doc.get(), DateTime(2026, 12, 10)), none);  // empty icon
    EXPECT_EQ(m_reader.GetIconBitmap(doc.get(), DateTime(2026, 12, 11)), none);  // unknown name
    EXPECT_EQ(m_reader.GetIconBitmap(doc.get(), DateTime(2026, 12, 9)), nullptr);
    EXPECT_EQ(m_reader.GetIconBitmap(doc.get(), DateTime(2026, 12, 12)),
              nullptr);                            // the first dayPart counts
    EXPECT_EQ(m_decoder.decodes[L"rain.png"], 2);  // a failed decoding is tried again
    EXPECT_EQ(GetIconSize(), std::make_pair(32, 32));
    FreeIcons();
    EXPECT_EQ(m_decoder.live, 0);

    // Without a decoder, or without the folder, there are no pictures.
    SetIconDecoder(nullptr);
    LoadIconsFrom(set.WPath());
    EXPECT_EQ(FindIcon(L"sunny"), nullptr);
    EXPECT_EQ(GetIconSize(), std::make_pair(0, 0));
    FreeIcons();
    SetIconDecoder(&m_decoder);
    LoadIconsFrom(set.WFile("missing"));
    EXPECT_EQ(IconCount(), 0);
    EXPECT_EQ(GetIconSize(), std::make_pair(0, 0));
}

TEST_F(WeatherReaderTest, CityElementIsInsertedIntoThePlainRoot) {
    WriteForecast(4, Forecast(Day("8", "12", "2026", "")));
    auto doc = m_reader.OpenForecastWithCity(4, L"S\u00e3o Paulo");
    EXPECT_EQ(XMLDoc::GetNodeText(*doc->GetDocument(), L"/obWeather/city/id"), L"4");
    EXPECT_EQ(XMLDoc::GetNodeText(*doc->GetDocument(), L"/obWeather/*[1]/name"), L"S\u00e3o Paulo");
    EXPECT_EQ(
        XMLDoc::GetNodeText(*doc->GetDocument(), L"/obWeather/forecast/forecastDays/forecastDay/date/day"),
        L"8");

    // Markup characters in a name stay text and keep the forecast.
    doc = m_reader.OpenForecastWithCity(4, L"Tom & <Jerry>");
    EXPECT_EQ(XMLDoc::GetNodeText(*doc->GetDocument(), L"/obWeather/city/name"), L"Tom & <Jerry>");
    EXPECT_EQ(XMLDoc::GetNodeText(*doc->GetDocument(), L"//forecastDay/date/day"), L"8");

    // The gazetteer names the city, whatever the file holds before or in its root.
    WriteForecast(5,
                  "<!--<obWeather><city><name>Evil</name></city>--><obWeather version=\"1\">"
                  "<city><name>Evil</name></city><forecast/></obWeather>");
    doc = m_reader.OpenForecastWithCity(5, L"Oslo");
    EXPECT_EQ(XMLDoc::GetNodeText(*doc->GetDocument(), L"/obWeather/city/name"), L"Oslo");
    EXPECT_EQ(ZEP_Utility::SelectNodes(*doc->GetDocument(), L"//city").size(), 1u);
    // No file: the empty forecast with the city.
    doc = m_reader.OpenForecastWithCity(6, L"Lima");
    EXPECT_EQ(doc->GetXml(), L"<obWeather><city><id>6</id><name>Lima</name></city><forecast/></obWeather>");
}

TEST_F(WeatherReaderTest, OnlyKnownIconNamesReachThePage) {
    WriteForecast(8, Forecast(Day("8", "12", "2026", Icon("../../../dev/zero%00")) +
                              Day("9", "12", "2026", Icon("rain")) + Day("10", "12", "2026", Icon("Rain"))));
    m_app.Write("weather/html/i.html",
                "<p><orbelline-template match=\"//icon\">[{.}]</orbelline-template></p>");
    EXPECT_EQ(m_reader.RenderCityHtml(8, L"Oslo", L"i.html", 0), L"<p>[no_report][rain][no_report]</p>");
}

TEST_F(WeatherReaderTest, RenderingReadsTheTemplateOrShowsWhyNot) {
    EXPECT_EQ(m_reader.RenderCityHtml(7, L"Oslo", L"missing.html", 0),
              L"IO exception (The system cannot find the file specified.)");
    m_app.Write("weather/html/t.html",
                "\xEF\xBB\xBF<p>{/obWeather/city/name}|{WEATHER_FILES}|"
                "<orbelline-template match=\"//forecastDay\">x<orbelline-nomatch>none"
                "</orbelline-nomatch></orbelline-template></p>");
    EXPECT_EQ(m_reader.RenderCityHtml(7, L"Oslo", L"t.html", 0),
              L"<p>Oslo|file://" + m_app.WPath() + L"/weather/html|none</p>");
    m_app.Write("weather/html/big.html", "<p>" + std::string(WeatherReader::kMaxTemplateBytes, 'x') + "</p>");
    EXPECT_EQ(m_reader.RenderCityHtml(7, L"Oslo", L"big.html", 0), WeatherReader::kTemplateTooLargePage);
    m_app.Write("weather/html/bad.html", "<p>{DAY}");
    EXPECT_EQ(m_reader.RenderCityHtml(7, L"Oslo", L"bad.html", 0), L"<p>{DAY}");
    EXPECT_EQ(WeatherReader::FileUrl(L"/Storage Card/App/weather/html"),
              L"file:///Storage Card/App/weather/html");
}

TEST_F(WeatherReaderTest, TheSampleForecastRendersThroughThePage) {
    std::filesystem::copy_file(std::string(ORBELLINE_SOURCE_DIR) + "/weather/html/cityforecast.html",
                               m_app.File("weather/html/cityforecast.html"));
    std::filesystem::copy_file(std::string(ORBELLINE_SOURCE_DIR) + "/tests/weather/data/f_sample.xml",
                               m_app.File("weather/data/f_42.xml"));
    m_reader.SetReferenceDate(DateTime(2026, 12, 8, 9, 30, 0));
    const std::wstring page = m_reader.RenderCityHtml(42, L"Amsterdam", L"cityforecast.html", 0);
    XMLDoc html;
    ASSERT_TRUE(html.LoadXml(page)) << ob::kernel::ToUtf8(page);
    const pugi::xml_node root = *html.GetDocument();
    EXPECT_EQ(XMLDoc::GetNodeText(root, L"//h1"), L"Amsterdam");
    EXPECT_EQ(ZEP_Utility::SelectNodes(root, L"//tr[@class='day']").size(), 7u);
    EXPECT_EQ(XMLDoc::GetNodeText(root, L"(//tr[@class='day'])[1]/td[2]/b"), L"Today");
    EXPECT_EQ(XMLDoc::GetNodeText(root, L"(//tr[@class='day'])[1]/td[3]"), L"7 C2 C");
    EXPECT_EQ(XMLDoc::GetNodeText(root, L"(//tr[@class='day'])[3]/td[3]"), L"4 C-3 C");  // -2.7 rounds to -3
    EXPECT_NE(page.find(L"Precipitation 4.2 mm (80%)"), std::wstring::npos);
    EXPECT_NE(page.find(L"Wind 18 km/h SW"), std::wstring::npos);
    EXPECT_NE(page.find(L"Chance of precipitation 10%"), std::wstring::npos);  // a dry day with a chance
    EXPECT_EQ(page.find(L"Precipitation 0.0"), std::wstring::npos);
    EXPECT_NE(page.find(L"/weather/html/../images_3/rain.png"), std::wstring::npos);
    // Nothing of the template's own markup is left.
    EXPECT_EQ(page.find(L"<orbelline-"), std::wstring::npos);
    // The style sheet's braces are not expressions.
    EXPECT_NE(page.find(L"img.icon { width: 24pt; height: 24pt; }"), std::wstring::npos);

    // In Fahrenheit, and a week later: the sample has one day left, the rest say so.
    const std::wstring fahrenheit = m_reader.RenderCityHtml(42, L"Amsterdam", L"cityforecast.html", 1);
    EXPECT_NE(fahrenheit.find(L"45 F"), std::wstring::npos);
    m_reader.SetReferenceDate(DateTime(2026, 12, 14));
    ASSERT_TRUE(html.LoadXml(m_reader.RenderCityHtml(42, L"Amsterdam", L"cityforecast.html", 0)));
    EXPECT_EQ(ZEP_Utility::SelectNodes(*html.GetDocument(), L"//td[@class='none']").size(), 6u);
    // A city without a forecast still gets its page.
    ASSERT_TRUE(html.LoadXml(m_reader.RenderCityHtml(43, L"Lima", L"cityforecast.html", 0)));
    EXPECT_EQ(XMLDoc::GetNodeText(*html.GetDocument(), L"//h1"), L"Lima");
    EXPECT_NE(XMLDoc::GetNodeText(*html.GetDocument(), L"//p[@class='none']").find(L"No forecast"),
              std::wstring::npos);
}

namespace {
struct RecordingNotification : IWeatherUpdateNotification {
    std::vector<std::wstring> items;
    void OnWeatherUpdated(const ob::kernel::FileChangeInfo& change) override {
        items.push_back(change.item1);
    }
};
}  // namespace

TEST_F(WeatherReaderTest, NotificationsPassDataFolderChangesOn) {
    ZEP_IO::PollingNotifyWindowHost host;
    ZEP_IO::SetNotifyWindowHost(&host);
    RecordingNotification sink;
    m_reader.StartNotifications(&sink);
    WriteForecast(8, Forecast(""));
    while (host.Pump(sink.items.empty() ? 2000 : 50) > 0) {
    }
    ASSERT_FALSE(sink.items.empty());
    EXPECT_EQ(sink.items.front(), m_app.WFile("weather/data/f_8.xml"));
    m_reader.StopNotifications();
    sink.items.clear();
    WriteForecast(9, Forecast(""));
    EXPECT_EQ(host.Pump(50), 0);
    EXPECT_TRUE(sink.items.empty());
    ZEP_IO::SetNotifyWindowHost(nullptr);
}
