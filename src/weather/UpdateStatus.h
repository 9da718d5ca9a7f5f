// How the downloader's last fetch went, as it reports it in "status.csv"
// beside the forecast files: key,value lines ("result" ok or failed,
// "reason", and the POSIX times "attempt" and "success").
#pragma once

#include <cstdint>
#include <string>

namespace OBWeather {

inline constexpr const wchar_t* kStatusFileName = L"status.csv";

struct UpdateStatus {
    bool known = false;        // a status file was read
    bool ok = false;           // the last fetch updated every city
    std::wstring reason;       // why it did not, in a few words ("no connection")
    std::int64_t attempt = 0;  // POSIX time the last fetch ended; 0 when unknown
    std::int64_t success = 0;  // POSIX time of the last fetch that updated every city; 0: never
};

// The status in the data folder; unknown when the file is missing or unreadable.
UpdateStatus ReadUpdateStatus();

}  // namespace OBWeather
