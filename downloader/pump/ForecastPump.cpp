#include "downloader/pump/ForecastPump.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <ctime>

#include "downloader/pump/AtomicFile.h"
#include "downloader/pump/ForecastDocument.h"
#include "downloader/pump/OpenMeteo.h"
#include "platform/kernel/Clock.h"

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
    : config_(std::move(config)), locator_(locator), log_(log), http_(config_.http) {}

std::string ForecastPump::SettingsPath() const {
    return config_.settingsFile.empty() ? config_.appFolder + "/settings.csv" : config_.settingsFile;
}
std::string ForecastPump::DataFolder() const {
    return config_.dataFolder.empty() ? config_.appFolder + "/weather/data" : config_.dataFolder;
}
std::string ForecastPump::ForecastPath(int cityId) const {
    return DataFolder() + "/f_" + std::to_string(cityId) + ".xml";
}

void ForecastPump::SetStopCheck(std::function<bool()> check) {
    stopCheck_ = check;
    http_.SetAbortCheck(std::move(check));
}

PumpSettings ForecastPump::ReadSettings() const { return ReadPumpSettings(SettingsPath()); }

FetchReport ForecastPump::FetchAll() {
    const PumpSettings settings = ReadSettings();
    log_.SetLevel(settings.logLevel);

    FetchReport report;
    report.cities = static_cast<int>(settings.cityIds.size());
    if (!settings.fileRead)
        log_.Write(Severity::Warning,
                   "settings file " + SettingsPath() + " " + settings.whyNotRead + ": no cities to fetch");
    log_.Write(Severity::Info, "fetching " + std::to_string(report.cities) + " cities from " + config_.serviceUrl);

    if (report.cities > 0 && !MakeFolders(DataFolder())) {
        log_.Write(Severity::Critical, "cannot create the data folder " + DataFolder());
        report.failed = report.cities;
        return report;
    }
    RemoveLeftovers();
    for (int id : settings.cityIds) {
        if (stopCheck_ && stopCheck_()) {
            log_.Write(Severity::Warning, "stopping before every city was fetched");
            report.failed = report.cities - report.succeeded;
            break;
        }
        const std::optional<CityPlace> city = locator_.Find(id);
        if (!city) {
            log_.Write(Severity::Error, "city " + std::to_string(id) + " is not in the gazetteer; skipped");
            ++report.failed;
            continue;
        }
        std::string why;
        if (FetchCity(*city, why)) {
            ++report.succeeded;
        } else {
            ++report.failed;
            log_.Write(writeFailed_ ? Severity::Critical : Severity::Error,
                       Describe(*city) + ": " + why + "; its previous forecast is kept");
        }
    }
    log_.Write(report.AllSucceeded() ? Severity::Info : Severity::Error,
               "fetch done: " + std::to_string(report.succeeded) + " of " + std::to_string(report.cities) +
                   " cities updated");
    return report;
}

bool ForecastPump::FetchCity(const CityPlace& city, std::string& why) {
    ForecastRequest request;
    request.latitude = city.latitude;
    request.longitude = city.longitude;
    const std::string url = BuildForecastUrl(config_.serviceUrl, request);
    log_.Write(Severity::Debug, "GET " + url);

    writeFailed_ = false;
    const HttpResponse response = http_.Get(url);
    if (response.outcome != HttpOutcome::Ok) {
        why = std::string(OutcomeName(response.outcome)) + " (" + response.error + ")";
        if (response.outcome == HttpOutcome::HttpError)
            if (const std::string reason = ServiceErrorReason(response.body); !reason.empty())
                why += ": " + reason;
        return false;
    }
    const ParsedForecast parsed = ParseForecast(response.body);
    if (!parsed.forecast) {
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
        writeFailed_ = true;
        why = "cannot write " + ForecastPath(city.id) + " (" + error + ")";
        return false;
    }
    log_.Write(Severity::Detail, Describe(city) + ": " + std::to_string(parsed.forecast->days.size()) +
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
            log_.Write(Severity::Detail, "removed the unfinished file " + path);
        }
    }
    ::closedir(dir);
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
