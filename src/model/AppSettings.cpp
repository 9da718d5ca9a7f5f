#include "model/AppSettings.h"

#include <cstdio>
#include <cwchar>
#include <string>

#include "data/ReferenceTables.h"
#include "platform/kernel/AppPaths.h"
#include "platform/kernel/ExecutablePath.h"
#include "platform/kernel/FileApi.h"
#include "platform/kernel/Locale.h"
#include "platform/kernel/WideText.h"

namespace {

bool LocaleUsesUsMeasurement() {
    return ob::kernel::LocaleMeasurementSystem() == ob::kernel::MeasurementSystem::US;
}

}  // namespace

AppSettings::AppSettings(std::function<bool()> usesUsMeasurement, std::function<bool()> usesTwelveHourClock)
    : m_usesUsMeasurement(usesUsMeasurement ? std::move(usesUsMeasurement) : LocaleUsesUsMeasurement),
      m_usesTwelveHourClock(usesTwelveHourClock ? std::move(usesTwelveHourClock)
                                                : ob::kernel::LocaleUsesTwelveHourClock) {}

OBData::CityGroup& AppSettings::GetCities() {
    Read();
    return m_cities;
}

bool AppSettings::LoadFile(const std::wstring& path) {
    m_fileRead = m_store.Load(path);
    return m_fileRead;
}

void AppSettings::ReadBool(const wchar_t* key, bool& value) const {
    // On exactly when the text reads as the integer 1; no number keeps the default.
    int number = value ? 1 : 0;
    m_store.GetInt(key, number);
    value = number == 1;
}

void AppSettings::ReadIntIn(const wchar_t* key, int& value, int low, int high, int fallback) const {
    // No number keeps the value; a number outside [low, high] reads as the fallback.
    m_store.GetInt(key, value);
    if (value < low || value > high)
        value = fallback;
}

void AppSettings::Read() {
    if (m_read)
        return;
    m_read = true;
    // The group is read through the gazetteer: make sure it is there, and if
    // it cannot be built keep the stored text rather than save an empty group.
    m_citiesReadable = OBData::LoadReferenceTables();
    m_cities.Load(m_store, L"cities");
    // A unit the program does not know reads as the default.
    ReadIntIn(L"units", m_units, 0, 2, 0);
    ReadIntIn(L"temperature_units", m_temperatureUnits, 0, 1, 0);
    // Without a stored format the clock is the locale's own: 24-hour where
    // its times show no AM/PM.
    std::wstring timeFormat;
    if (!m_store.GetString(L"main_time_format", timeFormat) ||
        !ZEP_Utility::Settings::ParseInt(timeFormat, m_mainTimeFormat))
        m_mainTimeFormat = m_usesTwelveHourClock() ? 0 : 1;
    ReadBool(L"long_country", m_longCountry);
    ReadBool(L"shadow", m_shadow);
    ReadBool(L"map_twilight", m_mapTwilight);
    // An hour the clock does not have reads as the default.
    ReadIntIn(L"work_start", m_workStart, 0, 24, 9);
    ReadIntIn(L"work_end", m_workEnd, 0, 24, 17);
    m_store.GetInt(L"tab", m_tab);
    ReadBool(L"debug", m_debug);
    ReadBool(L"nearby_type", m_nearby.byDistance);
    m_store.GetInt(L"nearby_citycount", m_nearby.cityCount);
    m_store.GetDouble(L"nearby_distance", m_nearby.distanceKm);
    m_store.GetInt(L"cityview_fontsize", m_cityViewFontSize);
    m_store.GetInt(L"mapview_fontsize", m_mapViewFontSize);
    m_store.GetInt(L"weatherview_fontsize", m_weatherViewFontSize);
    m_store.GetInt(L"weatherview_smallfontsize", m_weatherViewSmallFontSize);
    ReadBool(L"cityview_extrainfo", m_cityViewExtraInfo);
    ReadBool(L"plannerview_extrainfo", m_plannerViewExtraInfo);
    ReadBool(L"weatherusecradle", m_weatherUseCradle);
    ReadBool(L"weatherusenetwork", m_weatherUseNetwork);
    ReadBool(L"weatherusephone", m_weatherUsePhone);
    ReadBool(L"weatherkilldownloader", m_weatherKillDownloader);
    ReadBool(L"weatherupdatewarning", m_weatherUpdateWarning);
    m_store.GetInt(L"loglevel", m_logLevel);
    // "x y width height"; anything else is no place at all.
    if (std::wstring text; m_store.GetString(L"window", text)) {
        WindowPlace place;
        wchar_t end = 0;
        if (std::swscanf(text.c_str(), L"%d %d %d %d%lc", &place.x, &place.y, &place.width, &place.height,
                         &end) == 4 &&
            place.width > 0 && place.height > 0 && place.width <= 16384 && place.height <= 16384)
            m_windowPlace = place;
    }
    if (!m_fileRead) {
        const int system = m_usesUsMeasurement() ? 1 : 0;
        m_units = system;
        m_temperatureUnits = system;
    }
}

void AppSettings::PutAll() {
    Read();
    m_store.SetInt(L"units", m_units);
    m_store.SetInt(L"temperature_units", m_temperatureUnits);
    if (m_citiesReadable)
        m_cities.Save(m_store, L"cities");
    m_store.SetInt(L"main_time_format", m_mainTimeFormat);
    m_store.SetInt(L"long_country", m_longCountry);
    m_store.SetInt(L"shadow", m_shadow);
    m_store.SetInt(L"map_twilight", m_mapTwilight);
    m_store.SetInt(L"work_start", m_workStart);
    m_store.SetInt(L"work_end", m_workEnd);
    m_store.SetInt(L"tab", m_tab);
    m_store.SetInt(L"debug", m_debug);
    m_store.SetInt(L"nearby_type", m_nearby.byDistance);
    m_store.SetInt(L"nearby_citycount", m_nearby.cityCount);
    m_store.SetDouble(L"nearby_distance", m_nearby.distanceKm);
    m_store.SetInt(L"cityview_fontsize", m_cityViewFontSize);
    m_store.SetInt(L"mapview_fontsize", m_mapViewFontSize);
    m_store.SetInt(L"weatherview_fontsize", m_weatherViewFontSize);
    m_store.SetInt(L"weatherview_smallfontsize", m_weatherViewSmallFontSize);
    m_store.SetInt(L"cityview_extrainfo", m_cityViewExtraInfo);
    m_store.SetInt(L"plannerview_extrainfo", m_plannerViewExtraInfo);
    m_store.SetInt(L"weatherusecradle", m_weatherUseCradle);
    m_store.SetInt(L"weatherusenetwork", m_weatherUseNetwork);
    m_store.SetInt(L"weatherusephone", m_weatherUsePhone);
    m_store.SetInt(L"weatherkilldownloader", m_weatherKillDownloader);
    m_store.SetInt(L"weatherupdatewarning", m_weatherUpdateWarning);
    m_store.SetInt(L"loglevel", m_logLevel);
    if (m_windowPlace.width > 0)
        m_store.SetString(L"window", std::to_wstring(m_windowPlace.x) + L" " +
                                         std::to_wstring(m_windowPlace.y) + L" " +
                                         std::to_wstring(m_windowPlace.width) + L" " +
                                         std::to_wstring(m_windowPlace.height));
}

bool AppSettings::SaveAll(const std::wstring& path) {
    PutAll();
    return SaveFile(path);
}

// Every getter and setter first makes sure the values were read, so a value
// set before the first read is not overwritten by it.
#define OB_SETTING(Type, Name, member) \
    Type AppSettings::Get##Name() {    \
        Read();                        \
        return member;                 \
    }
#define OB_SETTER(Type, Name, member)         \
    void AppSettings::Set##Name(Type value) { \
        Read();                               \
        member = value;                       \
    }

OB_SETTING(int, Units, m_units)
OB_SETTING(int, TemperatureUnits, m_temperatureUnits)
OB_SETTING(int, MainTimeFormat, m_mainTimeFormat)
OB_SETTING(int, Tab, m_tab)
OB_SETTING(bool, LongCountry, m_longCountry)
OB_SETTING(bool, Shadow, m_shadow)
OB_SETTING(bool, MapTwilight, m_mapTwilight)
OB_SETTING(int, WorkStart, m_workStart)
OB_SETTING(int, WorkEnd, m_workEnd)
OB_SETTING(bool, Debug, m_debug)
OB_SETTING(NearbySettings, Nearby, m_nearby)
OB_SETTING(int, CityViewFontSize, m_cityViewFontSize)
OB_SETTING(int, MapViewFontSize, m_mapViewFontSize)
OB_SETTING(int, WeatherViewFontSize, m_weatherViewFontSize)
OB_SETTING(int, WeatherViewSmallFontSize, m_weatherViewSmallFontSize)
OB_SETTING(bool, CityViewExtraInfo, m_cityViewExtraInfo)
OB_SETTING(bool, PlannerViewExtraInfo, m_plannerViewExtraInfo)
OB_SETTING(bool, WeatherUseCradle, m_weatherUseCradle)
OB_SETTING(bool, WeatherUseNetwork, m_weatherUseNetwork)
OB_SETTING(bool, WeatherUsePhone, m_weatherUsePhone)
OB_SETTING(bool, WeatherKillDownloader, m_weatherKillDownloader)
OB_SETTING(bool, WeatherUpdateWarning, m_weatherUpdateWarning)
OB_SETTING(int, LogLevel, m_logLevel)
OB_SETTING(WindowPlace, WindowPlace, m_windowPlace)

OB_SETTER(int, Units, m_units)
OB_SETTER(int, TemperatureUnits, m_temperatureUnits)
OB_SETTER(int, MainTimeFormat, m_mainTimeFormat)
OB_SETTER(bool, Shadow, m_shadow)
OB_SETTER(bool, MapTwilight, m_mapTwilight)
OB_SETTER(int, Tab, m_tab)
OB_SETTER(const WindowPlace&, WindowPlace, m_windowPlace)
OB_SETTER(bool, CityViewExtraInfo, m_cityViewExtraInfo)
OB_SETTER(bool, PlannerViewExtraInfo, m_plannerViewExtraInfo)
OB_SETTER(bool, WeatherUseCradle, m_weatherUseCradle)
OB_SETTER(bool, WeatherUseNetwork, m_weatherUseNetwork)
OB_SETTER(bool, WeatherUsePhone, m_weatherUsePhone)
OB_SETTER(bool, WeatherKillDownloader, m_weatherKillDownloader)
OB_SETTER(bool, WeatherUpdateWarning, m_weatherUpdateWarning)
OB_SETTER(int, LogLevel, m_logLevel)
OB_SETTER(const NearbySettings&, Nearby, m_nearby)

#undef OB_SETTING
#undef OB_SETTER

AppSettings& GetAppSettings() {
    static AppSettings settings;
    return settings;
}

ZEP_Utility::Settings& GetSettingsStore() { return GetAppSettings().GetStore(); }

OBData::CityGroup& GetCityGroup() { return GetAppSettings().GetCities(); }

std::wstring GetSettingsFilePath() {
    // Without a known folder the file is looked for in the working folder
    // rather than at the file system's root.
    if (ob::kernel::ExecutableFolder().empty())
        return AppSettings::kFileName;
    return ob::kernel::GetAppPaths().settingsFile;
}

namespace {

// An installed program's settings folder is made, private to the user, on
// the first save.
std::wstring SettingsPathForSaving() {
    const std::wstring path = GetSettingsFilePath();
    if (ob::kernel::GetAppPaths().installed) {
        const auto slash = path.find_last_of(L'/');
        if (slash != std::wstring::npos && slash > 0)
            ob::kernel::EnsureFolder(path.substr(0, slash), true);
    }
    return path;
}

}  // namespace

bool LoadSettingsFile() {
    const std::wstring path = GetSettingsFilePath();
    AppSettings& settings = GetAppSettings();
    const bool read = settings.LoadFile(path);
    if (settings.GetStore().LoadRefusedFile()) {
        const auto result = settings.GetStore().GetLoadResult();
        std::fprintf(stderr,
                     "orbelline: %s is %s: the settings are not read, and the file is left as it is\n",
                     ob::kernel::ToUtf8(path).c_str(),
                     ob::kernel::DescribeFileRead(result, ZEP_Utility::Settings::kMaxFileBytes).c_str());
    }
    return read;
}

namespace {

SettingsSaveObserver& Observer() {
    static SettingsSaveObserver observer;
    return observer;
}

// Tells the observer how a save went, with the reason taken at once, before
// anything else can replace the last error.
bool Reported(bool ok, const std::wstring& path) {
    if (!Observer())
        return ok;
    std::wstring problem;
    if (!ok) {
        const ZEP_Utility::Settings& store = GetAppSettings().GetStore();
        const std::wstring reason =
            store.LoadRefusedFile() ? L"it is " +
                                          ob::kernel::FromUtf8(ob::kernel::DescribeFileRead(
                                              store.GetLoadResult(), ZEP_Utility::Settings::kMaxFileBytes)) +
                                          L", so it is left as it is"
            : ob::kernel::GetLastError() != ob::kernel::kErrorSuccess
                ? ob::kernel::ErrorMessage(ob::kernel::GetLastError())
                : std::wstring(L"it cannot be written.");
        problem = path + L": " + reason;
    }
    Observer()(ok, problem);
    return ok;
}

}  // namespace

void SetSettingsSaveObserver(SettingsSaveObserver observer) { Observer() = std::move(observer); }

bool SaveSettingsFile() {
    ob::kernel::SetLastError(ob::kernel::kErrorSuccess);
    const std::wstring path = SettingsPathForSaving();
    return Reported(GetAppSettings().SaveFile(path), path);
}

bool SaveAllSettings() {
    ob::kernel::SetLastError(ob::kernel::kErrorSuccess);
    const std::wstring path = SettingsPathForSaving();
    return Reported(GetAppSettings().SaveAll(path), path);
}

void ReadSettings() { GetAppSettings().Read(); }
