// One round of fetching: every city of the user's list, one request at a
// time, each answer checked and written to the city's forecast file. A city
// that fails keeps its previous file; the others go on.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "downloader/pump/CityLocator.h"
#include "downloader/pump/HttpClient.h"
#include "downloader/pump/PumpLog.h"
#include "downloader/pump/PumpSettings.h"

namespace OBPump {

struct PumpConfig {
    std::string appFolder;   // where settings.csv and weather/ live, unless given below
    std::string serviceUrl;  // the forecast service endpoint
    HttpOptions http;
    std::string settingsFile = {};  // the settings file, if not appFolder's
    std::string dataFolder = {};    // the forecast folder, if not appFolder's
};

struct FetchReport {
    int cities = 0;      // cities in the list
    int succeeded = 0;   // files written
    int failed = 0;      // cities whose file was kept as it was
    std::string reason;  // why the first failure happened, for the user ("no connection")
    bool AllSucceeded() const { return failed == 0 && reason.empty(); }
};

// The file beside the forecasts that tells the program how the last fetch
// went, replaced atomically after every fetch: key,value lines as in
// settings.csv. "result" is ok or failed, "reason" says why in a few words,
// "attempt" and "success" are the POSIX times of the last fetch and of the
// last one that updated every city.
inline constexpr const char* kStatusFileName = "status.csv";

class ForecastPump {
public:
    ForecastPump(PumpConfig config, ICityLocator& locator, PumpLog& log);

    // Reads the settings anew (and applies the log level), then fetches every
    // city, until done or until the stop check says to stop.
    FetchReport FetchAll();

    // Consulted between cities and during requests, so a stop does not wait
    // for a long list or a slow service. None: never stop early.
    void SetStopCheck(std::function<bool()> check);

    // Fetches and writes one city; on failure `why` says what went wrong.
    bool FetchCity(const CityPlace& city, std::string& why);

    PumpSettings ReadSettings() const;

    std::string SettingsPath() const;
    std::string DataFolder() const;
    std::string ForecastPath(int cityId) const;

    // Writes the status file for a fetch that ended now; false when it
    // cannot be written.
    bool WriteStatus(const FetchReport& report);

    // POSIX time of the newest forecast file in the data folder, if any.
    std::optional<long long> NewestForecastTime() const;

private:
    void RemoveLeftovers();

    PumpConfig m_config;
    ICityLocator& m_locator;
    PumpLog& m_log;
    HttpClient m_http;
    bool m_writeFailed = false;
    std::string m_shortReason;          // of the last FetchCity that failed
    std::function<bool()> m_stopCheck;  // the last FetchCity failed on the disk, not the network
};

}  // namespace OBPump
