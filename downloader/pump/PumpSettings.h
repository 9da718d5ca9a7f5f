// What the downloader takes from settings.csv beside it. The file belongs to
// the program; the downloader only reads it, anew before every fetch, so a
// change of cities or options needs no restart.
#pragma once

#include <string>
#include <vector>

namespace OBPump {

struct PumpSettings {
    std::vector<int> cityIds;  // "cities" as the program reads it (CityGroup::ParseIds)
    bool useNetwork = true;    // "weatherusenetwork": automatic updates on
    int logLevel = 5;          // "loglevel": 0 full logging to 5 critical errors only
    bool fileRead = false;     // whether settings.csv could be read at all
    std::string whyNotRead;    // when not: "missing", "not a regular file", ...
};

PumpSettings ReadPumpSettings(const std::string& settingsPath);

}  // namespace OBPump
