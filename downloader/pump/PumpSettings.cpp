#include "downloader/pump/PumpSettings.h"

#include <string_view>

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

// Settings are UTF-8 text: a NUL or a byte sequence that is no UTF-8 means
// the file is something else (damaged, or not ours), not a list of cities.
bool IsText(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead == 0)
            return false;
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        if (length == 0 || i + length > bytes.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

}  // namespace

PumpSettings ReadPumpSettings(const std::string& settingsPath) {
    PumpSettings settings;
    ZEP_Utility::Settings store;
    std::string bytes;
    const ob::kernel::FileReadResult result = ob::kernel::ReadRegularFile(
        ob::kernel::FromUtf8(settingsPath), ZEP_Utility::Settings::kMaxFileBytes, bytes);
    if (result != ob::kernel::FileReadResult::Ok)
        settings.whyNotRead = ob::kernel::DescribeFileRead(result, ZEP_Utility::Settings::kMaxFileBytes);
    else if (!IsText(bytes))
        settings.whyNotRead = "not a text file";
    else
        store.LoadText(bytes);
    settings.fileRead = settings.whyNotRead.empty();
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
