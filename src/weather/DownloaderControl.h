// Starting and signalling the forecast downloader, a separate program beside
// this one. Three named events carry every signal; the downloader holds the
// running lock for as long as it runs, so that events left behind by a killed
// downloader are not mistaken for a live one.
#pragma once

namespace OBWeather {

// The downloader's file name in the executable's folder.
inline constexpr const wchar_t* kDownloaderExecutable = L"ForecastPumpCF";
// Set by the program at exit to stop the downloader; created by the downloader
// (manual-reset), only ever opened by the program.
inline constexpr const wchar_t* kStartStopEventName = L"ORBELLINE_WEATHERDOWNLOADER_STARTSTOP";
// Set by the program for one immediate fetch (auto-reset).
inline constexpr const wchar_t* kGetNowEventName = L"ORBELLINE_WEATHERDOWNLOADER_GETNOW";
// Set by the downloader while it fetches and writes forecast files (manual-reset).
inline constexpr const wchar_t* kBusyEventName = L"ORBELLINE_WEATHERDOWNLOADER_BUSY";
// The liveness lock (ob::kernel::NamedLivenessLock) a running downloader holds.
inline constexpr const wchar_t* kDownloaderRunningLockName = L"ORBELLINE_WEATHERDOWNLOADER_RUNNING";

// Starts the downloader, hidden and detached. False when it is missing or
// cannot be started. A downloader already running is not checked for: a
// second one must give way by itself (it finds the running lock taken).
bool LaunchDownloader();
// Sets the get-now event (made on first use). False when it cannot be made or set.
bool RequestUpdateNow();
// Whether a running downloader is fetching: the busy event is set and the
// downloader's running lock is held.
bool IsDownloaderBusy();
// Sets the start/stop event when a downloader has made it; otherwise nothing.
void StopDownloader();
// Drops the event handles kept since first use (tests switch scopes).
void ReleaseDownloaderEvents();

}  // namespace OBWeather
