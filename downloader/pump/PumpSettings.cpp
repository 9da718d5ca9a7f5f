#include "downloader/pump/PumpSettings.h"

#include "model/CityGroup.h"
#include "model/Settings.h"
#include "platform/kernel/FileApi.h"
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

PumpSettings ReadPumpSettings(const std::string& settingsPath) {
    PumpSettings settings;
    ZEP_Utility::Settings store;
    settings.fileRead = store.Load(ob::kernel::FromUtf8(settingsPath));
    if (!settings.fileRead)
        settings.whyNotRead =
            ob::kernel::DescribeFileRead(store.GetLoadResult(), ZEP_Utility::Settings::kMaxFileBytes);
    std::wstring cities;
    if (store.GetString(L"cities", cities))
        settings.cityIds = OBData::CityGroup::ParseIds(cities);
    int value = 0;
    if (ReadInt(store, L"weatherusenetwork", value))
        settings.useNetwork = value == 1;
    if (ReadInt(store, L"loglevel", value))
        settings.logLevel = value < 0 ? 0 : value > 5 ? 5 : value;
    return settings;
}

}  // namespace OBPump
