// The application's typed settings: one value per key of "settings.csv",
// read from the store once (at the first getter) and put back all together
// whenever something is to be stored. Setters change only the value in
// memory; SaveAllSettings() stores them.
#pragma once

#include <functional>
#include <string>

#include "model/CityGroup.h"
#include "model/Settings.h"

// How the nearby-cities search is cut: by radius (on) or by count (off).
struct NearbySettings {
    bool byDistance = false;
    int cityCount = 20;
    double distanceKm = 500.0;
};

// Where the desktop window stood and how large it was when the program last
// ended, in desktop pixels; width 0: never kept.
struct WindowPlace {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowPlace&) const = default;
};

class AppSettings {
public:
    static constexpr const wchar_t* kFileName = L"settings.csv";

    // `usesUsMeasurement` answers the locale question for the two unit
    // settings when no file was read; `usesTwelveHourClock` gives the time
    // format when none is stored. By default the user's locale decides both.
    explicit AppSettings(std::function<bool()> usesUsMeasurement = {},
                         std::function<bool()> usesTwelveHourClock = {});

    ZEP_Utility::Settings& GetStore() { return m_store; }
    const ZEP_Utility::Settings& GetStore() const { return m_store; }
    OBData::CityGroup& GetCities();

    // Loads the store from `path` and remembers whether a file was read.
    bool LoadFile(const std::wstring& path);
    // Refuses (false) while the file that LoadFile found could not be read,
    // so that a file too large or of the wrong kind is never replaced. Lines
    // another program changed in the file meanwhile are kept (see
    // Settings::SaveKeepingOthers).
    bool SaveFile(const std::wstring& path) {
        return m_keepFile || (!m_store.LoadRefusedFile() && m_store.SaveKeepingOthers(path));
    }
    // From now on saving changes only what is in memory and the file stays as
    // it was (a screenshot of the program, whatever it was tapped into doing).
    void KeepFileAsItIs() { m_keepFile = true; }
    // Puts every typed value into the store, then writes it to `path`.
    bool SaveAll(const std::wstring& path);
    void PutAll();

    // Reads the typed values from the store; only the first call does so.
    void Read();
    bool FileWasRead() const { return m_fileRead; }

    int GetUnits();
    int GetTemperatureUnits();
    int GetMainTimeFormat();
    int GetTab();
    bool GetLongCountry();
    bool GetShadow();
    bool GetMapTwilight();
    // Whole hours of the local clock, 0 to 24: work from the start up to the end.
    int GetWorkStart();
    int GetWorkEnd();
    bool GetDebug();
    NearbySettings GetNearby();
    int GetCityViewFontSize();
    int GetMapViewFontSize();
    int GetWeatherViewFontSize();
    int GetWeatherViewSmallFontSize();
    bool GetCityViewExtraInfo();
    bool GetPlannerViewExtraInfo();
    bool GetWeatherUseCradle();
    bool GetWeatherUseNetwork();
    bool GetWeatherUsePhone();
    bool GetWeatherKillDownloader();
    bool GetWeatherUpdateWarning();
    int GetLogLevel();
    WindowPlace GetWindowPlace();

    void SetUnits(int value);
    void SetTemperatureUnits(int value);
    void SetMainTimeFormat(int value);
    void SetShadow(bool value);
    void SetMapTwilight(bool value);
    void SetTab(int value);
    void SetCityViewExtraInfo(bool value);
    void SetPlannerViewExtraInfo(bool value);
    void SetWeatherUseCradle(bool value);
    void SetWeatherUseNetwork(bool value);
    void SetWeatherUsePhone(bool value);
    void SetWeatherKillDownloader(bool value);
    void SetWeatherUpdateWarning(bool value);
    void SetLogLevel(int value);
    void SetNearby(const NearbySettings& value);
    void SetWindowPlace(const WindowPlace& value);

private:
    void ReadBool(const wchar_t* key, bool& value) const;
    void ReadIntIn(const wchar_t* key, int& value, int low, int high, int fallback) const;

    ZEP_Utility::Settings m_store;
    OBData::CityGroup m_cities;
    std::function<bool()> m_usesUsMeasurement;
    std::function<bool()> m_usesTwelveHourClock;
    bool m_fileRead = false;
    bool m_keepFile = false;
    bool m_read = false;
    bool m_citiesReadable = false;

    int m_units = 0;
    int m_temperatureUnits = 0;
    int m_mainTimeFormat = 0;
    int m_tab = 0;
    bool m_longCountry = true;
    bool m_shadow = true;
    bool m_mapTwilight = true;
    int m_workStart = 9;
    int m_workEnd = 17;
    bool m_debug = false;
    NearbySettings m_nearby;
    int m_cityViewFontSize = 8;
    int m_mapViewFontSize = 8;
    int m_weatherViewFontSize = 9;
    int m_weatherViewSmallFontSize = 8;
    bool m_cityViewExtraInfo = true;
    bool m_plannerViewExtraInfo = false;
    bool m_weatherUseCradle = true;
    bool m_weatherUseNetwork = true;
    bool m_weatherUsePhone = false;
    bool m_weatherKillDownloader = true;
    bool m_weatherUpdateWarning = true;
    int m_logLevel = 5;
    WindowPlace m_windowPlace;
};

// The process-wide settings, their store and the user's city group.
AppSettings& GetAppSettings();
ZEP_Utility::Settings& GetSettingsStore();
OBData::CityGroup& GetCityGroup();

// "settings.csv" in the executable's folder.
std::wstring GetSettingsFilePath();
bool LoadSettingsFile();
// Both saves are false when the file could not be written (the old one is
// then kept) or was refused at load; every outcome goes to the observer.
bool SaveSettingsFile();
bool SaveAllSettings();
// Told of every save: ok, or why not ("<path>: There is not enough space on
// the disk."). The program's shell installs one that tells the user; the
// default says nothing. Saves made before it existed are not repeated.
using SettingsSaveObserver = std::function<void(bool ok, const std::wstring& problem)>;
void SetSettingsSaveObserver(SettingsSaveObserver observer);
void ReadSettings();
