// The downloader's reading of the forecast service's answers.
#include "downloader/pump/ForecastDocument.h"
#include "downloader/pump/OpenMeteo.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view json = ob::fuzz::AsText(data, size);
    OBPump::ServiceErrorReason(json);
    const OBPump::ParsedForecast parsed = OBPump::ParseForecast(json);
    if (parsed.forecast) {
        OBPump::ForecastFileInfo info;
        OBPump::BuildForecastXml(*parsed.forecast, info);
    }
    return 0;
}
