#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/TempFolder.h"
#include "downloader/pump/CommandLine.h"
#include "downloader/pump/PumpLog.h"
#include "downloader/pump/PumpService.h"
#include "downloader/pump/PumpSettings.h"
#include "model/CityGroup.h"

using namespace OBPump;
using ob::test::ReadBytes;
using ob::test::TestFolder;
using ob::test::WriteFile;

TEST(PumpLog, WritesFromItsLevelUpOneLineEach) {
    TestFolder folder;
    PumpLog log(folder / "pump.log", 3);
    log.Write(Severity::Info, "not at level 3");
    log.Write(Severity::Warning, "first\nsecond");
    log.Write(Severity::Critical, "bad");
    const std::string text = ReadBytes(folder / "pump.log");
    EXPECT_EQ(text.find("not at level"), std::string::npos);
    EXPECT_NE(text.find("[warning] first second\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[critical] bad\n"), std::string::npos);

    log.SetLevel(0);
    log.Write(Severity::Debug, "everything");
    EXPECT_NE(ReadBytes(folder / "pump.log").find("[debug] everything"), std::string::npos);
    log.SetLevel(9);  // out of range: critical only
    EXPECT_EQ(log.Level(), 5);

    PumpLog silent;  // no path: nothing written anywhere
    silent.Write(Severity::Critical, "nowhere");
}

TEST(PumpLog, StaysWithinItsBound) {
    TestFolder folder;
    const std::string path = folder / "pump.log";
    PumpLog log(path, 0, 4096);
    for (int i = 0; i < 500; ++i)
        log.Write(Severity::Info, "entry " + std::to_string(i) + " " + std::string(40, 'x'));
    EXPECT_LE(std::filesystem::file_size(path), 4096u);
    EXPECT_LE(std::filesystem::file_size(path + ".old"), 4096u);
    EXPECT_NE(ReadBytes(path).find("entry 499 "), std::string::npos);
    // A single huge message is cut, so even it cannot blow the bound.
    log.Write(Severity::Info, std::string(100000, 'y'));
    EXPECT_LE(std::filesystem::file_size(path), 4096u);
}

TEST(PumpSettings, ReadsTheCitiesAndTheWeatherOptionsAsTheProgramStoresThem) {
    using OBData::CityGroup;
    EXPECT_EQ(CityGroup::ParseIds(L"234;292;414"), (std::vector<int>{234, 292, 414}));
    // Repeats, non-numbers and ids too large for an int (which must not wrap
    // round to a real city: 4294967530 is 234 modulo 2^32) are dropped.
    EXPECT_EQ(CityGroup::ParseIds(L"292;84;292;-5;;abc;414;4294967530;4294967296;99999999999"),
              (std::vector<int>{292, 84, 414}));
    EXPECT_TRUE(CityGroup::ParseIds(L"").empty());

    TestFolder folder;
    const std::string path = folder / "settings.csv";
    PumpSettings missing = ReadPumpSettings(path);
    EXPECT_FALSE(missing.fileRead);
    EXPECT_TRUE(missing.useNetwork);
    EXPECT_EQ(missing.logLevel, 5);

    WriteFile(path, "cities,234;292\r\nloglevel,0\r\nunits,1\r\nweatherusenetwork,0\r\nnoise\r\n");
    PumpSettings s = ReadPumpSettings(path);
    EXPECT_TRUE(s.fileRead);
    EXPECT_EQ(s.cityIds, (std::vector<int>{234, 292}));
    EXPECT_FALSE(s.useNetwork);
    EXPECT_EQ(s.logLevel, 0);

    // Bools are on only for 1; words keep the default; levels are clamped.
    WriteFile(path, "weatherusenetwork,2\r\nloglevel,99\r\n");
    EXPECT_FALSE(ReadPumpSettings(path).useNetwork);
    EXPECT_EQ(ReadPumpSettings(path).logLevel, 5);
    WriteFile(path, "weatherusenetwork,yes\nloglevel,x\n");
    EXPECT_TRUE(ReadPumpSettings(path).useNetwork);
    EXPECT_EQ(ReadPumpSettings(path).logLevel, 5);
    WriteFile(path, "weatherusenetwork,1   \r\nloglevel,-3\r\n");
    EXPECT_TRUE(ReadPumpSettings(path).useNetwork);
    EXPECT_EQ(ReadPumpSettings(path).logLevel, 0);
    // Text in any script reads; a byte that cannot be UTF-8 makes the file no settings.
    WriteFile(path,
              "\xef\xbb\xbf# Z\xc3\xbcrich \xe6\x9d\xb1\xe4\xba\xac \xf0\x9f\x8c\xa7\r\ncities,234\r\n");
    EXPECT_EQ(ReadPumpSettings(path).cityIds, std::vector<int>{234});
    WriteFile(path, "cities,234\r\n# Z\xfcrich\r\n");
    const PumpSettings latin1 = ReadPumpSettings(path);
    EXPECT_FALSE(latin1.fileRead);
    EXPECT_EQ(latin1.whyNotRead, "not a text file");
    EXPECT_TRUE(latin1.cityIds.empty());
}

TEST(PumpCommandLine, AcceptsItsOptionsAndNamesWhatIsWrong) {
    auto parse = [](std::vector<std::string> args) { return ParseCommandLine(args); };
    EXPECT_FALSE(parse({}).options.once);
    EXPECT_TRUE(parse({"--once"}).options.once);
    EXPECT_TRUE(parse({"--help"}).options.help);
    EXPECT_EQ(parse({"--service-url", "http://127.0.0.1:8080/v1/forecast"}).options.serviceUrl,
              "http://127.0.0.1:8080/v1/forecast");
    EXPECT_EQ(parse({"--service-url=https://mirror.example/f"}).options.serviceUrl,
              "https://mirror.example/f");

    EXPECT_EQ(parse({"--fast"}).error, "unknown option: --fast");
    EXPECT_EQ(parse({"--service-url"}).error, "--service-url needs a URL");
    EXPECT_FALSE(parse({"--service-url", "file:///etc/passwd"}).error.empty());
    EXPECT_FALSE(parse({"--service-url", "http://"}).error.empty());
    EXPECT_FALSE(parse({"--service-url", "http://a b/"}).error.empty());
}

TEST(PumpCommandLine, ServiceAndTimeoutFromTheEnvironment) {
    ::unsetenv(kServiceUrlVariable);
    ::unsetenv(kTimeoutVariable);
    auto resolve = [](const PumpOptions& options) {
        std::string url, error;
        return ResolveServiceUrl(options, url, error) ? url : "error: " + error;
    };
    auto timeout = []() -> std::string {
        std::optional<long> value;
        std::string error;
        if (!TimeoutFromEnvironment(value, error))
            return "error: " + error;
        return value ? std::to_string(*value) : "none";
    };
    PumpOptions options;
    EXPECT_EQ(resolve(options), "https://api.open-meteo.com/v1/forecast");
    EXPECT_EQ(timeout(), "none");

    ::setenv(kServiceUrlVariable, "http://127.0.0.1:9/f", 1);
    EXPECT_EQ(resolve(options), "http://127.0.0.1:9/f");
    options.serviceUrl = "http://127.0.0.1:10/f";
    EXPECT_EQ(resolve(options), "http://127.0.0.1:10/f");  // the option wins
    // An unusable address is refused, never silently replaced by the public service,
    // with the message the option gets.
    ::setenv(kServiceUrlVariable, "ftp://x/", 1);
    EXPECT_EQ(resolve(PumpOptions{}), "error: ORBELLINE_FORECAST_URL: " + UnusableUrlMessage("ftp://x/"));
    ::setenv(kServiceUrlVariable, "http://h/f#x", 1);
    EXPECT_NE(resolve(PumpOptions{}).find("no #fragment"), std::string::npos);
    EXPECT_EQ(ParseCommandLine({"--service-url", "http://h/f#x"}).error,
              "--service-url: " + UnusableUrlMessage("http://h/f#x"));

    ::setenv(kTimeoutVariable, "250", 1);
    EXPECT_EQ(timeout(), "250");
    for (const char* bad : {"0", "12abc", "-5", " 7", "600001", "99999999999999999999"}) {
        ::setenv(kTimeoutVariable, bad, 1);
        EXPECT_EQ(timeout().rfind("error: ORBELLINE_FORECAST_TIMEOUT_MS: ", 0), 0u) << bad;
    }
    ::unsetenv(kServiceUrlVariable);
    ::unsetenv(kTimeoutVariable);

    // The --once deadline stops a fetch that is under way.
    struct Idle : IPumpSignals {
        Wake Wait(long) override { return Wake::TimedOut; }
        void SetBusy(bool) override {}
    } idle;
    EXPECT_TRUE(DeadlineSignals(idle, 0).StopRequested());
    EXPECT_FALSE(DeadlineSignals(idle, 3600).StopRequested());
}
