#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <filesystem>
#include <map>

#include "support/FakeForecastService.h"
#include "support/TempFolder.h"
#include "downloader/pump/AtomicFile.h"
#include "downloader/pump/ForecastDocument.h"
#include "downloader/pump/ForecastPump.h"

using namespace OBPump;
using namespace OBPumpTest;
using ob::test::ReadBytes;
using ob::test::TestFolder;
using ob::test::WriteFile;

namespace {

// Three made-up cities; the fake service tells them apart by latitude.
class FakeLocator : public ICityLocator {
public:
    std::optional<CityPlace> Find(int id) override {
        switch (id) {
        case 1: return CityPlace{1, "One", 10.0, 20.0};
        case 2: return CityPlace{2, "Two", 20.0, 30.0};
        case 3: return CityPlace{3, "Three", 30.0, 40.0};
        default: return std::nullopt;
        }
    }
};

struct PumpFixture {
    explicit PumpFixture(FakeForecastService::Handler handler, const std::string& cities = "1;2;3")
        : service(std::move(handler)), log(folder / "weather/pump.log", 0) {
        WriteFile(folder / "settings.csv", "cities," + cities + "\r\nloglevel,0\r\n");
        PumpConfig config;
        config.appFolder = folder.Path();
        config.serviceUrl = service.Url();
        config.http.connectTimeoutMs = 2000;
        config.http.totalTimeoutMs = 1000;  // the hanging answer costs this once; good ones have room
        config.http.maxBodyBytes = 64 * 1024;
        pump = std::make_unique<ForecastPump>(config, locator, log);
    }
    std::string Log() const { return ReadBytes(folder / "weather/pump.log"); }
    std::vector<std::string> DataFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder / "weather/data"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TestFolder folder;
    FakeForecastService service;
    FakeLocator locator;
    PumpLog log;
    std::unique_ptr<ForecastPump> pump;
};

// Base temperature per city, so each file can be checked against its own answer.
double BaseFor(const FakeRequest& r) { return std::stod(r.query.at("latitude")); }

std::string Text(const pugi::xml_document& doc, const std::string& path) {
    return doc.select_node(path.c_str()).node().text().get();
}

}  // namespace

TEST(ForecastPump, WritesEveryCityWithTheServedValuesOnTheRightDates) {
    PumpFixture f([](const FakeRequest& r) {
        return FakeReply{FakeReply::Kind::Normal, 200, ForecastJson("2026-12-07", 8, BaseFor(r))};
    });
    const FetchReport report = f.pump->FetchAll();
    EXPECT_EQ(report.cities, 3);
    EXPECT_EQ(report.succeeded, 3);
    EXPECT_TRUE(report.AllSucceeded());
    EXPECT_EQ(f.DataFiles(), (std::vector<std::string>{"f_1.xml", "f_2.xml", "f_3.xml"}));

    // One request at a time, for exactly the asked positions and nothing else.
    const auto requests = f.service.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[1].query.at("latitude"), "20.0000");
    EXPECT_EQ(requests[1].query.at("longitude"), "30.0000");
    EXPECT_EQ(requests[1].query.at("timezone"), "auto");

    for (int id = 1; id <= 3; ++id) {
        pugi::xml_document doc;
        ASSERT_TRUE(doc.load_file(f.pump->ForecastPath(id).c_str())) << id;
        const double base = id * 10.0;
        EXPECT_EQ(doc.select_nodes("/obWeather/forecast/forecastDays/forecastDay").size(), 8u);
        // Day index 2 is 9 December: the served maximum is base + 2, minimum base - 7.
        const std::string day =
            "/obWeather/forecast/forecastDays/forecastDay[date/day='9' and date/month='12' "
            "and date/year='2026']";
        EXPECT_EQ(Text(doc, day + "/high/temperature/ambient"), FormatNumber(base + 2, 1, false));
        EXPECT_EQ(Text(doc, day + "/low/temperature/ambient"), FormatNumber(base - 7, 1, false));
        EXPECT_EQ(Text(doc, day + "/dayPart/display/icon"), "rain");
        EXPECT_EQ(Text(doc, day + "/dayPart/precipitation/amount"), "3.0");
        EXPECT_EQ(Text(doc, day + "/dayPart/wind/direction"), "90");
        EXPECT_EQ(Text(doc, "/obWeather/location/timezone"), "Europe/London");
    }
    EXPECT_NE(f.Log().find("3 of 3 cities updated"), std::string::npos) << f.Log();
}

TEST(ForecastPump, ABadAnswerKeepsThatCitysFileAndTheOthersGoOn) {
    // City 2 gets each failure in turn; cities 1 and 3 always succeed.
    std::string failure;
    PumpFixture f([&](const FakeRequest& r) {
        if (BaseFor(r) == 20.0) {
            if (failure == "500")
                return FakeReply{FakeReply::Kind::Normal, 500, "{\"error\":true,\"reason\":\"overloaded\"}"};
            if (failure == "timeout")
                return FakeReply{FakeReply::Kind::Hang, 200, ""};
            if (failure == "malformed")
                return FakeReply{FakeReply::Kind::Normal, 200, "{\"daily\": nonsense"};
            if (failure == "partial")
                return FakeReply{FakeReply::Kind::Truncated, 200, ForecastJson("2026-12-07", 8)};
            if (failure == "huge")
                return FakeReply{FakeReply::Kind::Endless, 200, ""};
            if (failure == "inconsistent")
                return FakeReply{
                    FakeReply::Kind::Normal, 200,
                    R"({"daily":{"time":["2026-12-07","2026-12-08"],"temperature_2m_max":[1]}})"};
        }
        return FakeReply{FakeReply::Kind::Normal, 200, ForecastJson("2026-12-07", 8, BaseFor(r))};
    });
    ASSERT_TRUE(f.pump->FetchAll().AllSucceeded());
    const std::string before = ReadBytes(f.pump->ForecastPath(2));

    const std::map<std::string, std::string> expectedInLog = {
        {"500", "HTTP status 500): overloaded"},
        {"timeout", "timed out"},
        {"malformed", "not valid JSON"},
        {"partial", "network error"},
        {"huge", "answer too large"},
        {"inconsistent", "has 1 values for 2 days"},
    };
    for (const auto& [kind, logged] : expectedInLog) {
        failure = kind;
        std::filesystem::remove(f.folder / "weather/pump.log");
        const FetchReport report = f.pump->FetchAll();
        EXPECT_EQ(report.succeeded, 2) << kind;
        EXPECT_EQ(report.failed, 1) << kind;
        EXPECT_EQ(ReadBytes(f.pump->ForecastPath(2)), before) << kind;
        EXPECT_EQ(f.DataFiles(), (std::vector<std::string>{"f_1.xml", "f_2.xml", "f_3.xml"})) << kind;
        const std::string log = f.Log();
        EXPECT_NE(log.find("city 2 (Two): "), std::string::npos) << kind << "\n" << log;
        EXPECT_NE(log.find(logged), std::string::npos) << kind << "\n" << log;
        EXPECT_NE(log.find("its previous forecast is kept"), std::string::npos) << kind;
    }
}

TEST(ForecastPump, CitiesOutsideTheGazetteerAndNoSettingsFile) {
    PumpFixture f(
        [](const FakeRequest& r) {
            return FakeReply{FakeReply::Kind::Normal, 200, ForecastJson("2026-12-07", 8, BaseFor(r))};
        },
        "3;84;1");
    FetchReport report = f.pump->FetchAll();
    EXPECT_EQ(report.succeeded, 2);
    EXPECT_EQ(report.failed, 1);
    EXPECT_NE(f.Log().find("city 84 is not in the gazetteer"), std::string::npos);

    std::filesystem::remove(f.folder / "settings.csv");
    report = f.pump->FetchAll();
    EXPECT_EQ(report.cities, 0);
    EXPECT_TRUE(report.AllSucceeded());
}

TEST(ForecastPump, SettingsAreReadAnewForEveryFetch) {
    PumpFixture f(
        [](const FakeRequest& r) {
            return FakeReply{FakeReply::Kind::Normal, 200, ForecastJson("2026-12-07", 8, BaseFor(r))};
        },
        "1");
    f.pump->FetchAll();
    EXPECT_EQ(f.DataFiles(), (std::vector<std::string>{"f_1.xml"}));
    WriteFile(f.folder / "settings.csv", "cities,2\r\nloglevel,5\r\n");
    std::filesystem::remove(f.folder / "weather/pump.log");
    f.pump->FetchAll();
    EXPECT_EQ(f.DataFiles(), (std::vector<std::string>{"f_1.xml", "f_2.xml"}));
    EXPECT_FALSE(std::filesystem::exists(f.folder / "weather/pump.log"));  // level 5: nothing went wrong
    ASSERT_TRUE(f.pump->NewestForecastTime());
}

TEST(AtomicFile, ReplacesWholeOrNotAtAll) {
    TestFolder folder;
    const std::string path = folder / "f_1.xml";
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, "old", error)) << error;
    ASSERT_TRUE(WriteFileAtomically(path, "new", error)) << error;
    EXPECT_EQ(ReadBytes(path), "new");

    // A directory in the way of the rename: the write fails and leaves nothing behind.
    std::filesystem::create_directory(folder / "f_2.xml");
    EXPECT_FALSE(WriteFileAtomically(folder / "f_2.xml", "data", error));
    EXPECT_FALSE(error.empty());
    // A folder that does not exist.
    EXPECT_FALSE(WriteFileAtomically(folder / "none/f_3.xml", "data", error));

    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"f_1.xml", "f_2.xml"}));
    EXPECT_EQ(ReadBytes(path), "new");

    EXPECT_TRUE(MakeFolders(folder / "a/b/c"));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "a/b/c"));
    EXPECT_FALSE(MakeFolders(folder / "f_1.xml/x"));
}

TEST(ForecastPump, ClearsAwayUnfinishedWritesOfKilledWritersOnly) {
    PumpFixture f(
        [](const FakeRequest& r) {
            return FakeReply{FakeReply::Kind::Normal, 200, ForecastJson("2026-12-07", 8, BaseFor(r))};
        },
        "1");
    const std::string data = f.folder / "weather/data/";
    WriteFile(data + ".f_5.xml.123.0.tmp", "<obWea");
    WriteFile(data + ".f_6.xml.123.1.tmp", "<obWea");
    WriteFile(data + "notes.tmp", "mine");
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    std::filesystem::last_write_time(data + ".f_5.xml.123.0.tmp", old);
    std::filesystem::last_write_time(data + "notes.tmp", old);
    f.pump->FetchAll();
    EXPECT_EQ(f.DataFiles(), (std::vector<std::string>{".f_6.xml.123.1.tmp", "f_1.xml", "notes.tmp"}));
}

TEST(GazetteerCityLocator, KnowsTheBuiltInCities) {
    GazetteerCityLocator gazetteer;
    const auto london = gazetteer.Find(234);
    ASSERT_TRUE(london);
    EXPECT_EQ(london->name, "London");
    EXPECT_NEAR(london->latitude, 51.5, 0.3);
    EXPECT_NEAR(london->longitude, -0.1, 0.3);
    const auto sydney = gazetteer.Find(414);
    ASSERT_TRUE(sydney);
    EXPECT_LT(sydney->latitude, -33);
    EXPECT_FALSE(gazetteer.Find(84));
    EXPECT_FALSE(gazetteer.Find(-1));
}

TEST(ForecastPump, AFileThatCannotBeWrittenIsCriticalAndLosesNothing) {
    PumpFixture f(
        [](const FakeRequest& r) {
            return FakeReply{FakeReply::Kind::Normal, 200, ForecastJson("2026-12-07", 8, BaseFor(r))};
        },
        "1;2");
    WriteFile(f.folder / "settings.csv", "cities,1;2\r\nloglevel,5\r\n");
    std::filesystem::create_directories(f.folder / "weather/data/f_1.xml");  // something in the way
    const FetchReport report = f.pump->FetchAll();
    EXPECT_EQ(report.succeeded, 1);
    EXPECT_EQ(report.failed, 1);
    EXPECT_TRUE(std::filesystem::is_directory(f.folder / "weather/data/f_1.xml"));
    const std::string log = f.Log();
    EXPECT_NE(log.find("[critical] city 1 (One): cannot write "), std::string::npos) << log;
    EXPECT_EQ(log.find("[error]"), std::string::npos) << log;  // level 5: critical only
}

TEST(ForecastPump, TheStatusFileSaysHowTheLastFetchWentAndKeepsTheLastSuccess) {
    bool refuse = false;
    PumpFixture f([&](const FakeRequest& r) {
        return refuse ? FakeReply{FakeReply::Kind::Normal, 503, "{\"reason\":\"busy\"}"}
                      : FakeReply{FakeReply::Kind::Normal, 200, ForecastJson("2026-12-07", 8, BaseFor(r))};
    });
    const auto status = [&] { return ReadBytes(f.folder / "weather/data/status.csv"); };
    ASSERT_TRUE(f.pump->WriteStatus(f.pump->FetchAll()));
    const std::string ok = status();
    EXPECT_NE(ok.find("result,ok\r\n"), std::string::npos) << ok;
    const std::string success = ok.substr(ok.find("success,"));
    refuse = true;
    ASSERT_TRUE(f.pump->WriteStatus(f.pump->FetchAll()));
    EXPECT_NE(status().find("reason,service error 503\r\nresult,failed\r\n" + success), std::string::npos)
        << status();

    // Nothing listens there: no connection at all.
    PumpConfig config;
    config.appFolder = f.folder.Path();
    config.serviceUrl = "http://127.0.0.1:9/v1/forecast";
    ForecastPump unreachable(config, f.locator, f.log);
    ASSERT_TRUE(unreachable.WriteStatus(unreachable.FetchAll()));
    EXPECT_NE(status().find("reason,no connection\r\n"), std::string::npos) << status();
}
