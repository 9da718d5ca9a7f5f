#include "downloader/pump/PumpSettings.h"

#include <cwchar>
#include <fstream>
#include <map>
#include <set>

#include "platform/kernel/WideText.h"

namespace OBPump {
namespace {

// The stored values of settings.csv: key up to the first comma, value with
// trailing white space removed, a later line winning over an earlier one.
std::map<std::wstring, std::wstring> ReadPairs(const std::string& path, bool& read) {
    std::map<std::wstring, std::wstring> pairs;
    std::ifstream in(path, std::ios::binary);
    read = static_cast<bool>(in);
    std::string line;
    while (in && std::getline(in, line)) {
        const auto comma = line.find(',');
        if (comma == std::string::npos)
            continue;
        std::string value = line.substr(comma + 1);
        while (!value.empty() && std::string(" \t\r\n\v\f").find(value.back()) != std::string::npos)
            value.pop_back();
        pairs[ob::kernel::FromUtf8(line.substr(0, comma))] = ob::kernel::FromUtf8(value);
    }
    return pairs;
}

// A value counts when it starts with a number, as the program reads it.
bool ReadInt(const std::map<std::wstring, std::wstring>& pairs, const wchar_t* key, int& out) {
    const auto it = pairs.find(key);
    if (it == pairs.end())
        return false;
    int value = 0;
    if (std::swscanf(it->second.c_str(), L"%d", &value) != 1)
        return false;
    out = value;
    return true;
}

}  // namespace

std::vector<int> ParseCityIds(const std::wstring& text) {
    std::vector<int> ids;
    std::set<int> seen;
    size_t position = 0;
    while (position <= text.size()) {
        int id = 0;
        if (std::swscanf(text.c_str() + position, L"%d", &id) != 1)
            id = 0;
        if (id > 0 && seen.insert(id).second)
            ids.push_back(id);
        const auto next = text.find(L';', position);
        if (next == std::wstring::npos)
            break;
        position = next + 1;
    }
    return ids;
}

PumpSettings ReadPumpSettings(const std::string& settingsPath) {
    PumpSettings settings;
    const auto pairs = ReadPairs(settingsPath, settings.fileRead);
    if (const auto it = pairs.find(L"cities"); it != pairs.end())
        settings.cityIds = ParseCityIds(it->second);
    int value = 0;
    if (ReadInt(pairs, L"weatherusenetwork", value))
        settings.useNetwork = value == 1;
    if (ReadInt(pairs, L"loglevel", value))
        settings.logLevel = value < 0 ? 0 : value > 5 ? 5 : value;
    return settings;
}

}  // namespace OBPump
