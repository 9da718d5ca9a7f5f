#include "cli/CommandLine.h"

#include <cstdio>

#include "cli/ClockOutput.h"
#include "cli/FindOutput.h"
#include "cli/WeatherOutput.h"
#include "data/City.h"
#include "data/CityFinder.h"
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

std::wstring Trimmed(const std::wstring& text) {
    const auto first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

// A city given by id or by name; on failure the one-line message and the
// exit status (an unknown id 1; a name of no city, or of several, 2).
struct CityArgument {
    const OBData::City* city = nullptr;
    std::string error;
    int status = kExitOk;
};

// `option` names where the entry came from ("--cities '234;x'").
CityArgument ResolveCity(const std::wstring& entry, const std::string& option) {
    CityArgument result;
    const std::wstring text = Trimmed(entry);
    const std::string shown = ob::kernel::ToUtf8(text);
    if (IsCityId(text)) {
        int id = 0;
        ZEP_Utility::Settings::ParseInt(text, id);
        result.city = OBData::GetCity(id);
        if (!result.city) {
            result.error = "unknown city id " + shown + " in " + option;
            result.status = kExitError;
        }
        return result;
    }
    const OBData::CityNameLookup lookup = OBData::LookUpCityName(text);
    result.city = lookup.city;
    if (result.city)
        return result;
    result.status = kExitUsage;
    if (lookup.candidates.empty()) {
        result.error = "no city is named '" + shown + "' (" + option + "; --find lists the names)";
        return result;
    }
    result.error =
        "'" + shown + "' names " + std::to_string(lookup.candidates.size()) + " cities (" + option + ")";
    // A long list is for --find to show.
    constexpr std::size_t kListed = 8;
    if (lookup.candidates.size() > kListed) {
        result.error += "; orbelline --find '" + shown + "' lists them";
        return result;
    }
    result.error += ": ";
    for (std::size_t i = 0; i < lookup.candidates.size(); ++i) {
        const OBData::City* city = lookup.candidates[i];
        result.error += (i ? "; " : "") + std::to_string(city->GetId()) + " " +
                        ob::kernel::ToUtf8(OBData::CityWithCountry(*city));
    }
    result.error += "; give the id or 'NAME, COUNTRY'";
    return result;
}

int RunInfo(const CliOptions& options) {
    Prepare(options);
    const CityArgument argument = ResolveCity(options.infoCity, "--info");
    if (!argument.city) {
        PrintError(argument.error);
        return argument.status;
    }
    const OBData::City* city = argument.city;
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

// The cities of --cities, or the chosen ones; the exit status with a
// message for an entry that names no city or several.
int TakeCities(const CliOptions& options, OBData::CityGroup& group) {
    if (!options.hasCities) {
        group.Assign(GetCityGroup());
        return kExitOk;
    }
    std::wstring ids;
    std::size_t start = 0;
    while (start < options.cities.size()) {
        const std::size_t end = options.cities.find(L';', start);
        const std::wstring entry =
            options.cities.substr(start, end == std::wstring::npos ? end : end - start);
        const CityArgument argument =
            ResolveCity(entry, "--cities '" + ob::kernel::ToUtf8(options.cities) + "'");
        if (!argument.city) {
            PrintError(argument.error);
            return argument.status;
        }
        ids += (ids.empty() ? L"" : L";") + std::to_wstring(argument.city->GetId());
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    group.Parse(ids);
    return kExitOk;
}

int RunFind(const CliOptions& options) {
    Prepare(options);
    Print(FormatFoundCities(OBData::FindCities(options.findText), options.format));
    return kExitOk;
}

// The forecast files only: the downloader is neither started nor signalled.
int RunWeather(const CliOptions& options) {
    Prepare(options);
    OBData::CityGroup group;
    if (const int status = TakeCities(options, group); status != kExitOk)
        return status;
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
    if (const int status = TakeCities(options, group); status != kExitOk)
        return status;
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
    // The text form of a planned time says which home time it is, as the
    // planner's Copy does.
    if (options.hasHomeTime && options.format == OutputFormat::Text && !rows.empty())
        Print(FormatHomeTimeHeading(rows.front(), settings.GetMainTimeFormat()));
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
    case Mode::Find: return RunFind(options);
    case Mode::Paths: return RunPaths();
    case Mode::Weather: return RunWeather(options);
    case Mode::Clock:
    case Mode::Window: break;
    }
    return RunClock(options);
}

}  // namespace ob::cli
