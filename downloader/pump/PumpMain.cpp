#include "downloader/pump/PumpMain.h"

#include <csignal>
#include <cstdio>

#include "downloader/pump/AtomicFile.h"
#include "downloader/pump/CommandLine.h"
#include "downloader/pump/ForecastPump.h"
#include "downloader/pump/PumpService.h"
#include "downloader/pump/PumpSignals.h"
#include "platform/kernel/AppPaths.h"
#include "platform/kernel/ExecutablePath.h"
#include "platform/kernel/NamedEvent.h"
#include "platform/kernel/WideText.h"
#include "weather/DownloaderControl.h"

namespace OBPump {
namespace {

// For a fetch by hand while the background downloader runs: the busy event
// is that downloader's to set and clear.
class QuietSignals : public IPumpSignals {
public:
    Wake Wait(long) override { return Wake::Stop; }
    void SetBusy(bool) override {}
};

}  // namespace

int PumpMain(const std::vector<std::string>& arguments) {
    // A file size limit (ulimit -f) would kill us in the middle of writing a
    // forecast; ignored, the write fails with EFBIG like a full disk and the
    // old file stays.
    std::signal(SIGXFSZ, SIG_IGN);
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "ForecastPumpCF: %s (try --help)\n", parsed.error.c_str());
        return 2;
    }
    if (parsed.options.help) {
        std::fputs(HelpText().c_str(), stdout);
        return 0;
    }

    // The locks that tell a running downloader live in the private runtime
    // folder; one another user controls could make us stop or act wrongly.
    if (const std::string problem = ob::kernel::RuntimeFolderProblem(); !problem.empty()) {
        std::fprintf(stderr, "ForecastPumpCF: %s\n", problem.c_str());
        return 1;
    }

    const std::string appFolder = ob::kernel::ToUtf8(ob::kernel::ExecutableFolder());
    if (appFolder.empty()) {
        std::fputs("ForecastPumpCF: cannot tell which folder this program is in\n", stderr);
        return 1;
    }
    // The same folders the program uses: its app folder when portable, the
    // user's own folders when installed.
    const ob::kernel::AppPaths paths = ob::kernel::GetAppPaths();
    // The program of this folder signals the downloader of this folder only.
    ob::kernel::SetNamedObjectFolder(paths.forecastFolder);
    if (paths.installed) {
        ob::kernel::EnsureFolder(paths.logFolder, true);
        ob::kernel::EnsureFolder(paths.forecastFolder, true);
    } else {
        MakeFolders(appFolder + "/weather");
    }

    PumpConfig config;
    config.appFolder = appFolder;
    config.settingsFile = ob::kernel::ToUtf8(paths.settingsFile);
    config.dataFolder = ob::kernel::ToUtf8(paths.forecastFolder);
    std::string error;
    std::optional<long> timeout;
    if (!ResolveServiceUrl(parsed.options, config.serviceUrl, error) ||
        !TimeoutFromEnvironment(timeout, error)) {
        std::fprintf(stderr, "ForecastPumpCF: %s\n", error.c_str());
        return 2;
    }
    if (timeout) {
        config.http.totalTimeoutMs = *timeout;
        if (config.http.connectTimeoutMs > *timeout)
            config.http.connectTimeoutMs = *timeout;
    }

    PumpLog log(ob::kernel::ToUtf8(paths.logFolder) + "/ForecastPumpCF.log");
    GazetteerCityLocator locator;
    ForecastPump pump(config, locator, log);
    log.SetLevel(pump.ReadSettings().logLevel);

    if (parsed.options.once) {
        log.EchoToStandardError(Severity::Warning);
        FetchReport report;
        auto fetch = [&](IPumpSignals& signals) {
            DeadlineSignals deadline(signals, kOnceDeadlineSeconds);
            report = FetchWhileBusy(pump, deadline, log);
            if (deadline.Expired())
                log.Write(Severity::Error, "gave up after " + std::to_string(kOnceDeadlineSeconds) +
                                               " seconds: the service is too slow");
        };
        if (ob::kernel::NamedLivenessLock::IsHeld(OBWeather::kDownloaderRunningLockName)) {
            QuietSignals quiet;
            fetch(quiet);
        } else {
            NamedEventSignals signals(false);
            fetch(signals);
        }
        std::printf("%d of %d cities updated\n", report.succeeded, report.cities);
        return report.AllSucceeded() ? 0 : 1;
    }

    // The program starts the downloader on every start: a second one just leaves.
    const auto running = TakeRunningLock();
    if (!running) {
        log.Write(Severity::Detail, "another downloader is running; leaving");
        return 0;
    }
    InstallStopHandlers();
    NamedEventSignals signals(true);
    if (!signals.Ok()) {
        log.Write(Severity::Critical,
                  "cannot create the named events; the program cannot reach the downloader");
        return 1;
    }
    RunService(pump, signals, log);
    return 0;
}

}  // namespace OBPump
