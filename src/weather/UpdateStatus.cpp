#include "weather/UpdateStatus.h"

#include "model/Settings.h"
#include "weather/FileUtils.h"

namespace OBWeather {
namespace {

std::int64_t Seconds(const ZEP_Utility::Settings& store, const wchar_t* key) {
    std::wstring text;
    if (!store.GetString(key, text))
        return 0;
    try {
        return std::stoll(text);
    } catch (...) {
        return 0;  // not a number: unknown
    }
}

}  // namespace

UpdateStatus ReadUpdateStatus() {
    UpdateStatus status;
    ZEP_Utility::Settings store;
    if (!store.Load(FileUtils::GetDataFolder() + L"/" + kStatusFileName))
        return status;
    std::wstring result;
    status.known = store.GetString(L"result", result);
    status.ok = result == L"ok";
    store.GetString(L"reason", status.reason);
    if (status.reason.size() > 80)
        status.reason.resize(80);  // a header line, not a log
    status.attempt = Seconds(store, L"attempt");
    status.success = Seconds(store, L"success");
    return status;
}

}  // namespace OBWeather
