#include "downloader/pump/PumpSettings.h"

#include <cwchar>
#include <set>

#include "model/Settings.h"
#include "platform/kernel/WideText.h"

namespace OBPump {
namespace {

// A value counts when its text starts with a number, as the program reads it.
bool ReadInt(const ZEP_Utility::Settings& store, const wchar_t* key, int& out) {
    std::wstring text;
    int value = 0;
    if (!store.GetString(key, text) || !ZEP_Utility::Settings::ParseInt(text, value))
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
    ZEP_Utility::Settings store;
    settings.fileRead = store.Load(ob::kernel::FromUtf8(settingsPath));
    std::wstring cities;
    if (store.GetString(L"cities", cities))
        settings.cityIds = ParseCityIds(cities);
    int value = 0;
    if (ReadInt(store, L"weatherusenetwork", value))
        settings.useNetwork = value == 1;
    if (ReadInt(store, L"loglevel", value))
        settings.logLevel = value < 0 ? 0 : value > 5 ? 5 : value;
    return settings;
}

}  // namespace OBPump
