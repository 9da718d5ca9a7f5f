// A forecast file as the downloader might leave it, read and rendered through
// a page template: the program's own template, or a template from the input.
#include <fstream>
#include <iterator>

#include "fuzz/FuzzInput.h"
#include "time/DateTime.h"
#include "weather/TemplateRenderer.h"
#include "weather/WeatherReader.h"

namespace {

std::wstring ProgramTemplate() {
    std::ifstream in(ORBELLINE_SOURCE_DIR "/weather/html/cityforecast.html", std::ios::binary);
    return ob::fuzz::Wide(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::wstring kTemplate = ProgramTemplate();
    const auto parts = ob::fuzz::Parts(ob::fuzz::AsText(data, size), 2);
    ZEP_Utility::XMLDoc doc;
    if (!doc.LoadXml(ob::fuzz::Wide(parts[0])))
        doc.LoadXml(OBWeather::kEmptyForecast);
    OBWeather::WeatherReader::InsertCity(doc, 234, L"London");
    const ZEP_Utility::DateTime today(2026, 12, 8);
    OBWeather::WeatherReader::SelectDay(&doc, today);
    const std::wstring page = parts.size() > 1 ? ob::fuzz::Wide(parts[1]) : kTemplate;
    for (int unit : {0, 1}) {
        OBWeather::TemplateRenderer renderer(L"file:///app/weather/html", today, unit);
        renderer.Render(doc, page);
    }
    return 0;
}
