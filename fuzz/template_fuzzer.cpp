// Arbitrary page templates expanded over a fixed forecast (the sample, with
// its icons kept and the city put in). Whatever the template, an expansion
// ends, and the page is the template as it stands (not well-formed), the
// one-line notice, or no larger than the output caps allow.
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "fuzz/FuzzInput.h"
#include "time/DateTime.h"
#include "weather/TemplateRenderer.h"
#include "weather/WeatherReader.h"

namespace {

using OBWeather::TemplateRenderer;

// Written out, a counted character takes at most six (&quot;) and a node
// adds at most twelve of markup (<![CDATA[ ]]>).
constexpr long long kMostPageChars =
    6 * TemplateRenderer::kMaxOutputChars + 12 * TemplateRenderer::kMaxOutputNodes;

ZEP_Utility::XMLDoc& Forecast() {
    static ZEP_Utility::XMLDoc* const doc = [] {
        std::ifstream in(ORBELLINE_SOURCE_DIR "/fuzz/corpus/forecast/sample.xml", std::ios::binary);
        auto* loaded = new ZEP_Utility::XMLDoc;  // kept for the whole run
        loaded->LoadXml(ob::fuzz::Wide(
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())));
        OBWeather::WeatherReader::KeepKnownIcons(*loaded);
        OBWeather::WeatherReader::InsertCity(*loaded, 234, L"London");
        return loaded;
    }();
    return *doc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring templateText = ob::fuzz::Wide(ob::fuzz::AsText(data, size));
    TemplateRenderer renderer(L"file:///app/weather/html", ZEP_Utility::DateTime(2026, 12, 8), 0);
    const std::wstring page = renderer.Render(Forecast(), templateText);
    if (renderer.WasCut() && page != TemplateRenderer::kTooLargePage)
        std::abort();
    if (page != templateText && static_cast<long long>(page.size()) > kMostPageChars)
        std::abort();
    return 0;
}
