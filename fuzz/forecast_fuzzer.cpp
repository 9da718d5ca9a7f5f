// The detail page of a forecast file as the downloader might leave it: read,
// its icon names kept to ours, the city put in, rendered through a page
// template (the program's own, or one from the input). An input that is no
// XML document gives, line by line, the icon names and texts of the sample
// forecast's days instead. Through the program's template every picture on
// the page must be one of our icons.
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "fuzz/FuzzInput.h"
#include "time/DateTime.h"
#include "weather/TemplateRenderer.h"
#include "weather/WeatherIcons.h"
#include "weather/WeatherReader.h"

namespace {

std::string ReadSourceFile(const char* path) {
    std::ifstream in(std::string(ORBELLINE_SOURCE_DIR) + path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The sample forecast with the icon and conditions of each day, in order,
// taken from the lines of `fields`; the days after the last line are left
// out, so that short inputs make short pages.
void FillSample(ZEP_Utility::XMLDoc& doc, std::string_view fields) {
    static const std::wstring kSample = ob::fuzz::Wide(ReadSourceFile("/fuzz/corpus/forecast/sample.xml"));
    doc.LoadXml(kSample);
    bool more = true;
    for (const pugi::xpath_node& found : ZEP_Utility::SelectNodes(*doc.GetDocument(), L"//forecastDay")) {
        pugi::xml_node day = found.node();
        if (!more) {
            day.parent().remove_child(day);
            continue;
        }
        for (const char* field : {"icon", "conditions"}) {
            const auto end = fields.find('\n');
            const std::string line(fields.substr(0, end));
            more = end != std::string_view::npos;
            fields.remove_prefix(more ? end + 1 : fields.size());
            day.child("dayPart").child("display").child(field).text().set(line.c_str());
        }
    }
}

// Every img src of the page names one of our icons, in our icon folder.
bool OnlyOurIcons(const std::wstring& page) {
    ZEP_Utility::XMLDoc rendered;
    if (!rendered.LoadXml(page))
        return false;
    const std::wstring folder = L"/../images_3/";
    for (const pugi::xpath_node& found : ZEP_Utility::SelectNodes(*rendered.GetDocument(), L"//img/@src")) {
        const std::wstring src = ob::kernel::FromUtf8(found.attribute().value());
        const auto at = src.rfind(folder);
        if (at == std::wstring::npos || src.size() < at + folder.size() + 4 ||
            src.compare(src.size() - 4, 4, L".png") != 0 ||
            !OBWeather::IsKnownIconName(src.substr(at + folder.size(), src.size() - at - folder.size() - 4)))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::wstring kTemplate = ob::fuzz::Wide(ReadSourceFile("/weather/html/cityforecast.html"));
    const auto parts = ob::fuzz::Parts(ob::fuzz::AsText(data, size), 2);
    ZEP_Utility::XMLDoc doc;
    if (!doc.LoadXml(ob::fuzz::Wide(parts[0])))
        FillSample(doc, parts[0]);
    OBWeather::WeatherReader::KeepKnownIcons(doc);
    OBWeather::WeatherReader::InsertCity(doc, 234, L"London");
    const ZEP_Utility::DateTime today(2026, 12, 8);
    OBWeather::WeatherReader::SelectDay(&doc, today);
    const bool ownTemplate = parts.size() < 2;
    const std::wstring page = ownTemplate ? kTemplate : ob::fuzz::Wide(parts[1]);
    // One unit a run (the input's length chooses), so a run is one page.
    OBWeather::TemplateRenderer renderer(L"file:///app/weather/html", today, static_cast<int>(size % 2));
    const std::wstring out = renderer.Render(doc, page);
    if (ownTemplate && !renderer.WasCut() && !OnlyOurIcons(out))
        std::abort();
    return 0;
}
