#include "cli/CommandLine.h"

#include <cstdio>

#include "cli/ClockOutput.h"
#include "cli/WeatherOutput.h"
#include "data/City.h"
#include "data/ReferenceLookup.h"
#include "data/ReferenceTables.h"
#include "info/CityClock.h"
#include "info/CityInfoPage.h"
#include "info/PlannerTime.h"
#include "model/AppSettings.h"
#include "platform/kernel/AppPaths.h"
#include "platform/kernel/Clock.h"
#include "platform/kernel/WideText.h"
#include "time/ZoneDatabase.h"
#include "weather/WeatherReader.h"

namespace ob::cli {

namespace {

void Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void PrintError(const std::string& message) { std::fprintf(stderr, "orbelline: %s\n", message.c_str()); }

// What every mode needs: the instant, the reference data and the settings.
void Prepare(const CliOptions& options) {
    if (options.hasAt)
        ob::kernel::SetClockOverride(options.atTicks, false);
    OBData::LoadReferenceTables();
    LoadSettingsFile();
}

// The first entry of a city list that names no city (0 included), as text;
// empty when every entry names one.
std::wstring UnknownId(const std::wstring& list) {
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = list.find(L';', start);
        const std::wstring entry = list.substr(start, end == std::wstring::npos ? end : end - start);
        int id = 0;
        if (!ZEP_Utility::Settings::ParseInt(entry, id) || !OBData::GetCity(id))
            return entry;
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    return {};
}

int RunInfo(const CliOptions& options) {
    Prepare(options);
    const OBData::City* city = OBData::GetCity(options.infoCityId);
    if (!city) {
        PrintError("unknown city id " + std::to_string(options.infoCityId));
        return kExitError;
    }
    const OBData::City* home = GetCityGroup().GetHomeCity();
    if (home && home->GetId() == city->GetId())
        home = nullptr;
    OBData::CityInfoPageOptions page = OBData::CityInfoPageOptionsFromSettings();
    page.plainText = options.infoAsText;
    const std::wstring text = OBData::BuildCityInfoPage(*city, home, ZEP_Utility::DateTime::UtcNow(), page);
    // The HTML page is one line; the text form ends its own lines.
    Print(ob::kernel::ToUtf8(text) + (options.infoAsText ? "" : "\n"));
    return kExitOk;
}

// The cities of --cities, or the chosen ones; false (with a message) for an unknown id.
bool TakeCities(const CliOptions& options, OBData::CityGroup& group) {
    if (options.hasCities) {
        if (!options.cities.empty()) {
            if (const std::wstring unknown = UnknownId(options.cities); !unknown.empty()) {
                PrintError("unknown city id " + ob::kernel::ToUtf8(unknown) + " in --cities");
                return false;
            }
        }
        group.Parse(options.cities);
    } else {
        group.Assign(GetCityGroup());
    }
    return true;
}

// The forecast files only: the downloader is neither started nor signalled.
int RunWeather(const CliOptions& options) {
    Prepare(options);
    OBData::CityGroup group;
    if (!TakeCities(options, group))
        return kExitError;
    OBWeather::WeatherReader reader;
    std::vector<CityForecast> cities;
    for (const OBData::City* city : group.GetCities()) {
        const auto forecast = reader.OpenForecast(city->GetId());
        cities.push_back({city->GetId(), city->GetDisplayName(), OBWeather::ReadForecastDays(*forecast)});
    }
    Print(FormatWeather(cities, options.format, GetAppSettings().GetTemperatureUnits()));
    return kExitOk;
}

}  // namespace

int RunClock(const CliOptions& options) {
    Prepare(options);
    OBData::CityGroup group;
    if (!TakeCities(options, group))
        return kExitError;
    // --home-time: the instant the planner would show for that home clock time.
    ZEP_Utility::DateTime instant = ZEP_Utility::DateTime::UtcNow();
    if (options.hasHomeTime) {
        const ZEP_Utility::DateTime homeClock(static_cast<std::uint64_t>(options.homeTimeTicks));
        if (const auto utc = OBData::HomeClockToUtc(group, homeClock); !utc.IsEmpty())
            instant = utc;
    }
    AppSettings& settings = GetAppSettings();
    const auto rows =
        OBData::BuildCityClock(group, instant, settings.GetUnits(), settings.GetMainTimeFormat());
    Print(FormatClock(rows, options.format, settings.GetMainTimeFormat()));
    return kExitOk;
}

// One "name<TAB>path" line for each place the program reads or writes.
int RunPaths() {
    const ob::kernel::AppPaths paths = ob::kernel::GetAppPaths();
    std::string text;
    auto line = [&](const char* name, const std::wstring& path) {
        text += name;
        text += '\t';
        text += ob::kernel::ToUtf8(path);
        text += '\n';
    };
    line("settings", GetSettingsFilePath());
    line("forecasts", paths.forecastFolder);
    line("log", paths.logFolder);
    line("content", paths.contentFolder);
    line("downloader", paths.downloader);
    // The clocks' rules: the tz database's folder and version, or the
    // built-in rules when no zone can be read there.
    if (OBData::DescribeZoneDatabase() == L"built-in rules") {
        line("zones", L"built-in rules");
    } else {
        const std::string folder = OBData::GetZoneDatabaseFolder();
        const std::string version = OBData::GetZoneDatabaseVersion();
        line("zones", std::wstring(folder.begin(), folder.end()));
        line("zones-version", std::wstring(version.begin(), version.end()));
    }
    Print(text);
    return kExitOk;
}

int RunCommandLine(const CliOptions& options) {
    switch (options.mode) {
    case Mode::Help: Print(UsageText()); return kExitOk;
    case Mode::Version:
        Print(std::string("orbelline ") + kVersion +
              "\ntime zones: " + ob::kernel::ToUtf8(OBData::DescribeZoneDatabase()) + "\n");
        return kExitOk;
    case Mode::Info: return RunInfo(options);
    case Mode::Paths: return RunPaths();
    case Mode::Weather: return RunWeather(options);
    case Mode::Clock:
    case Mode::Window: break;
    }
    return RunClock(options);
}

}  // namespace ob::cli
