// What the downloader takes from settings.csv beside it. The file belongs to
// the program; the downloader only reads it, anew before every fetch, so a
// change of cities or options needs no restart.
#pragma once

#include <string>
#include <vector>

namespace OBPump {

struct PumpSettings {
    std::vector<int> cityIds;  // "cities", in the user's order, each once
    bool useNetwork = true;    // "weatherusenetwork": automatic updates on
    int logLevel = 5;          // "loglevel": 0 full logging to 5 critical errors only
    bool fileRead = false;     // whether settings.csv could be read at all
};

PumpSettings ReadPumpSettings(const std::string& settingsPath);

// The stored form of the city list ("234;292;414"): ids above 0, first
// occurrence kept, anything unreadable skipped.
std::vector<int> ParseCityIds(const std::wstring& text);

}  // namespace OBPump
