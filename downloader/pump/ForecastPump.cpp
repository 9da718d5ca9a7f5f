#include "downloader/pump/ForecastPump.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <ctime>

#include "downloader/pump/AtomicFile.h"
#include "downloader/pump/ForecastDocument.h"
#include "downloader/pump/OpenMeteo.h"
#include "model/Settings.h"
#include "platform/kernel/Clock.h"
#include "platform/kernel/WideText.h"

namespace OBPump {
namespace {

long long UnixNow() {
    return (ob::kernel::UtcNowTicks() - ob::kernel::kUnixEpochTicks) / ob::kernel::kTicksPerSecond;
}

std::string Describe(const CityPlace& city) {
    std::string text = "city " + std::to_string(city.id);
    if (!city.name.empty())
        text += " (" + city.name + ")";
    return text;
}

// Temporary files of an atomic write that never finished (the writer was
// killed) are hidden files named after their target: ".f_42.xml.<pid>.<n>.tmp".
bool IsLeftoverTemporary(const char* name) {
    const size_t n = std::strlen(name);
    return n > 7 && std::strncmp(name, ".f_", 3) == 0 && std::strcmp(name + n - 4, ".tmp") == 0;
}

bool IsForecastFileName(const char* name) {
    const size_t n = std::strlen(name);
    return n > 6 && std::strncmp(name, "f_", 2) == 0 && std::strcmp(name + n - 4, ".xml") == 0;
}

}  // namespace

ForecastPump::ForecastPump(PumpConfig config, ICityLocator& locator, PumpLog& log)
    : m_config(std::move(config)), m_locator(locator), m_log(log), m_http(m_config.http) {}

std::string ForecastPump::SettingsPath() const {
    return m_config.settingsFile.empty() ? m_config.appFolder + "/settings.csv" : m_config.settingsFile;
}
std::string ForecastPump::DataFolder() const {
    return m_config.dataFolder.empty() ? m_config.appFolder + "/weather/data" : m_config.dataFolder;
}
std::string ForecastPump::ForecastPath(int cityId) const {
    return DataFolder() + "/f_" + std::to_string(cityId) + ".xml";
}

void ForecastPump::SetStopCheck(std::function<bool()> check) {
    m_stopCheck = check;
    m_http.SetAbortCheck(std::move(check));
}

PumpSettings ForecastPump::ReadSettings() const { return ReadPumpSettings(SettingsPath()); }

FetchReport ForecastPump::FetchAll() {
    const PumpSettings settings = ReadSettings();
    m_log.SetLevel(settings.logLevel);

    FetchReport report;
    report.cities = static_cast<int>(settings.cityIds.size());
    if (!settings.fileRead) {
        m_log.Write(Severity::Warning,
                    "settings file " + SettingsPath() + " " + settings.whyNotRead + ": no cities to fetch");
        // No file is a list of no cities; one that is there and refused is a failure.
        if (settings.whyNotRead != "missing")
            report.reason = "the settings cannot be read";
    }
    m_log.Write(Severity::Info,
                "fetching " + std::to_string(report.cities) + " cities from " + m_config.serviceUrl);

    if (report.cities > 0 && !MakeFolders(DataFolder())) {
        m_log.Write(Severity::Critical, "cannot create the data folder " + DataFolder());
        report.failed = report.cities;
        report.reason = "the forecast folder cannot be made";
        return report;
    }
    RemoveLeftovers();
    for (int id : settings.cityIds) {
        if (m_stopCheck && m_stopCheck()) {
            m_log.Write(Severity::Warning, "stopping before every city was fetched");
            report.failed = report.cities - report.succeeded;
            if (report.reason.empty())
                report.reason = "stopped";
            break;
        }
        const std::optional<CityPlace> city = m_locator.Find(id);
        if (!city) {
            m_log.Write(Severity::Error, "city " + std::to_string(id) + " is not in the gazetteer; skipped");
            ++report.failed;
            if (report.reason.empty())
                report.reason = "unknown city";
            continue;
        }
        std::string why;
        if (FetchCity(*city, why)) {
            ++report.succeeded;
        } else {
            ++report.failed;
            if (report.reason.empty())
                report.reason = m_shortReason;
            m_log.Write(m_writeFailed ? Severity::Critical : Severity::Error,
                        Describe(*city) + ": " + why + "; its previous forecast is kept");
        }
    }
    m_log.Write(report.AllSucceeded() ? Severity::Info : Severity::Error,
                "fetch done: " + std::to_string(report.succeeded) + " of " + std::to_string(report.cities) +
                    " cities updated");
    return report;
}

bool ForecastPump::FetchCity(const CityPlace& city, std::string& why) {
    ForecastRequest request;
    request.latitude = city.latitude;
    request.longitude = city.longitude;
    const std::string url = BuildForecastUrl(m_config.serviceUrl, request);
    m_log.Write(Severity::Debug, "GET " + url);

    m_writeFailed = false;
    const HttpResponse response = m_http.Get(url);
    if (response.outcome != HttpOutcome::Ok) {
        switch (response.outcome) {
        case HttpOutcome::NetworkError: m_shortReason = "no connection"; break;
        case HttpOutcome::Timeout: m_shortReason = "no answer"; break;
        case HttpOutcome::HttpError:
            m_shortReason = "service error " + std::to_string(response.status);
            break;
        default: m_shortReason = OutcomeName(response.outcome); break;
        }
        why = std::string(OutcomeName(response.outcome)) + " (" + response.error + ")";
        if (response.outcome == HttpOutcome::HttpError)
            if (const std::string reason = ServiceErrorReason(response.body); !reason.empty())
                why += ": " + reason;
        return false;
    }
    const ParsedForecast parsed = ParseForecast(response.body);
    if (!parsed.forecast) {
        m_shortReason = "bad answer";
        why = "bad answer (" + parsed.error + ")";
        return false;
    }

    ForecastFileInfo info;
    info.latitude = city.latitude;
    info.longitude = city.longitude;
    info.issuedUtc = IsoUtc(UnixNow());
    const std::string xml = BuildForecastXml(*parsed.forecast, info);
    std::string error;
    if (!WriteFileAtomically(ForecastPath(city.id), xml, error)) {
        // Not the service's fault: the disk is full or the folder is not ours.
        m_writeFailed = true;
        m_shortReason = "forecasts cannot be written";
        why = "cannot write " + ForecastPath(city.id) + " (" + error + ")";
        return false;
    }
    m_log.Write(Severity::Detail, Describe(city) + ": " + std::to_string(parsed.forecast->days.size()) +
                                      " days written to " + ForecastPath(city.id));
    return true;
}

void ForecastPump::RemoveLeftovers() {
    DIR* dir = ::opendir(DataFolder().c_str());
    if (!dir)
        return;
    const long long now = static_cast<long long>(std::time(nullptr));  // file times are real times
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsLeftoverTemporary(entry->d_name))
            continue;
        const std::string path = DataFolder() + "/" + entry->d_name;
        struct stat info {};
        // Another writer's file of the last minutes may still be in use.
        if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && now - info.st_mtime > 600) {
            ::unlink(path.c_str());
            m_log.Write(Severity::Detail, "removed the unfinished file " + path);
        }
    }
    ::closedir(dir);
}

bool ForecastPump::WriteStatus(const FetchReport& report) {
    const std::string path = DataFolder() + "/" + kStatusFileName;
    ZEP_Utility::Settings status;
    status.Load(ob::kernel::FromUtf8(path));  // the last success is kept from it
    const std::wstring now = std::to_wstring(UnixNow());
    // A list of no cities updates nothing, though nothing failed.
    const bool ok = report.AllSucceeded() && report.cities > 0;
    status.SetString(L"attempt", now);
    status.SetString(L"result", ok ? L"ok" : L"failed");
    status.SetString(L"reason", ok                      ? std::wstring()
                                : report.reason.empty() ? std::wstring(L"no cities")
                                                        : ob::kernel::FromUtf8(report.reason));
    if (ok)
        status.SetString(L"success", now);
    std::string error;
    if (!MakeFolders(DataFolder()) || !WriteFileAtomically(path, status.GetFileText(), error)) {
        m_log.Write(Severity::Error, "cannot write " + path + " (" + error + ")");
        return false;
    }
    return true;
}

std::optional<long long> ForecastPump::NewestForecastTime() const {
    DIR* dir = ::opendir(DataFolder().c_str());
    if (!dir)
        return std::nullopt;
    std::optional<long long> newest;
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsForecastFileName(entry->d_name))
            continue;
        struct stat info {};
        const std::string path = DataFolder() + "/" + entry->d_name;
        if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            if (!newest || info.st_mtime > *newest)
                newest = info.st_mtime;
    }
    ::closedir(dir);
    return newest;
}

}  // namespace OBPump
