// Starting and signalling the forecast downloader, a separate program beside
// this one. Three named events carry every signal; the downloader holds the
// running lock for as long as it runs, so that events left behind by a killed
// downloader are not mistaken for a live one.
#pragma once

#include <string>

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

// The events and the running lock are those of the forecast folder the
// program serves (ob::kernel::SetNamedObjectFolder), set before any is used.
void ScopeDownloaderToDataFolder();

// Starts the downloader, hidden and detached. False when it is missing or
// cannot be started. A downloader already running is not checked for: a
// second one must give way by itself (it finds the running lock taken).
bool LaunchDownloader();
// Sets the get-now event (made on first use). A downloader that is not
// running (killed, or it left) is started again first, once a session.
// False when the event cannot be made or set, or signalling is off.
bool RequestUpdateNow();
// Off: nothing is ever asked of a downloader (the screenshot mode).
void SetDownloaderSignalling(bool on);
// Why updates cannot be had, in a few words ("the downloader cannot be
// started"); empty while nothing is known to be wrong.
std::wstring DownloaderProblem();
// Whether a running downloader is fetching: the busy event is set and the
// downloader's running lock is held.
bool IsDownloaderBusy();
// Sets the start/stop event when a downloader has made it; otherwise nothing.
void StopDownloader();
// Drops the event handles kept since first use (tests switch scopes).
void ReleaseDownloaderEvents();

}  // namespace OBWeather
