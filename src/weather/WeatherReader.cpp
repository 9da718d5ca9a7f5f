#include "weather/WeatherReader.h"

#include <cmath>
#include <cstring>
#include <cwchar>
#include <limits>
#include <new>
#include <optional>

#include "platform/kernel/WideText.h"
#include "time/DisplayFormats.h"
#include "util/Exception.h"
#include "util/NumberText.h"
#include "util/Stream.h"
#include "weather/FileUtils.h"
#include "weather/TemplateRenderer.h"

namespace OBWeather {

using ZEP_Utility::XMLDoc;

namespace {
// Items created, updated and renamed in the data folder: the downloader
// writes a temporary file and renames it over the forecast.
constexpr std::uint32_t kForecastChanges =
    ob::kernel::kChangeCreate | ob::kernel::kChangeUpdateItem | ob::kernel::kChangeRenameItem;
}  // namespace

WeatherReader::WeatherReader() : m_watcher(this), m_referenceDate(ZEP_Utility::DateTime::LocalNow()) {}

WeatherReader::~WeatherReader() { m_watcher.Stop(); }

void WeatherReader::StartNotifications(IWeatherUpdateNotification* sink) {
    m_sink = sink;
    FileUtils::EnsureDataFolder();
    m_watcher.Start(kForecastChanges, FileUtils::GetDataFolder(), false);
}

void WeatherReader::StopNotifications() {
    m_sink = nullptr;
    m_watcher.Stop();
}

void WeatherReader::OnFileSystemEvent(const ob::kernel::FileChangeInfo& change) {
    if (m_sink)
        m_sink->OnWeatherUpdated(change);
}

std::wstring WeatherReader::GetForecastPath(int cityId) {
    return FileUtils::GetDataFolder() + L"/f_" + std::to_wstring(cityId) + L".xml";
}

std::wstring WeatherReader::FileUrl(const std::wstring& folder) {
    std::wstring url = L"file://" + folder;
    for (auto& c : url)
        if (c == L'\\')
            c = L'/';
    return url;
}

std::unique_ptr<XMLDoc> WeatherReader::OpenForecast(int cityId) {
    auto doc = std::make_unique<XMLDoc>();
    bool loaded = false;
    try {
        loaded = doc->Load(GetForecastPath(cityId));
    } catch (const std::bad_alloc&) {
        // no memory to read it: that city shows no forecast
    }
    if (!loaded)
        doc->LoadXml(kEmptyForecast);
    return doc;
}

std::unique_ptr<XMLDoc> WeatherReader::OpenForecastWithCity(int cityId, const std::wstring& cityName) {
    auto doc = OpenForecast(cityId);
    KeepKnownIcons(*doc);
    InsertCity(*doc, cityId, cityName);
    return doc;
}

void WeatherReader::KeepKnownIcons(XMLDoc& doc) {
    pugi::xml_document* document = doc.GetDocument();
    if (!document)
        return;
    // Templates build picture addresses from icon texts, so a name from the
    // file that is not ours ("../../dev/zero") becomes "no_report" here.
    for (const pugi::xpath_node& found : ZEP_Utility::SelectNodes(*document, L"//icon")) {
        pugi::xml_node icon = found.node();
        const std::wstring name = XMLDoc::GetNodeText(found);
        if (IsKnownIconName(name) && icon.first_child() && !icon.first_child().next_sibling() &&
            icon.first_child().type() == pugi::node_pcdata)
            continue;
        while (icon.first_child())
            icon.remove_child(icon.first_child());
        const std::wstring kept = IsKnownIconName(name) ? name : std::wstring(kNoReportIcon);
        icon.append_child(pugi::node_pcdata).set_value(ob::kernel::ToUtf8(kept).c_str());
    }
}

void WeatherReader::InsertCity(XMLDoc& doc, int cityId, const std::wstring& cityName) {
    pugi::xml_document* document = doc.GetDocument();
    if (!document)
        return;
    // Placed in the tree, not in the text: a comment before the root holding
    // "<obWeather><city>..." could otherwise choose the name the page shows.
    pugi::xml_node root = document->document_element();
    if (std::strcmp(root.name(), "obWeather") != 0)
        return;
    while (pugi::xml_node own = root.child("city"))
        root.remove_child(own);  // the file's own city is not the gazetteer's
    pugi::xml_node city = root.prepend_child("city");
    city.append_child("id").append_child(pugi::node_pcdata).set_value(std::to_string(cityId).c_str());
    city.append_child("name").append_child(pugi::node_pcdata).set_value(ob::kernel::ToUtf8(cityName).c_str());
}

pugi::xml_node WeatherReader::SelectDay(XMLDoc* doc, const ZEP_Utility::DateTime& date) {
    if (!doc || !doc->GetDocument())
        return {};
    wchar_t xpath[200];
    std::swprintf(xpath, 200,
                  L"/obWeather/forecast/forecastDays/forecastDay[date/day=\"%d\" and date/month=\"%d\" and "
                  L"date/year=\"%d\"]",
                  date.GetDay(), date.GetMonth(), date.GetYear());
    return ZEP_Utility::SelectSingleNode(*doc->GetDocument(), xpath).node();
}

bool WeatherReader::GetTemperatures(XMLDoc* doc, const ZEP_Utility::DateTime& date, double& high,
                                    double& low) {
    const pugi::xml_node day = SelectDay(doc, date);
    if (!day)
        return false;
    const std::wstring highValue = XMLDoc::GetNodeText(day, L"high/temperature/ambient");
    const std::wstring highUnit = XMLDoc::GetNodeText(day, L"high/temperature/units");
    const std::wstring lowValue = XMLDoc::GetNodeText(day, L"low/temperature/ambient");
    const std::wstring lowUnit = XMLDoc::GetNodeText(day, L"low/temperature/units");
    const auto read = [](const std::wstring& value, const std::wstring& unit) {
        const std::optional<double> number = ZEP_Utility::ScanReal(value);
        const double celsius = number ? OBData::ToCelsius(*number, ZEP_Utility::ScanInteger(unit).value_or(0))
                                      : std::numeric_limits<double>::quiet_NaN();
        return OBData::IsSaneCelsius(celsius) ? celsius : std::numeric_limits<double>::quiet_NaN();
    };
    high = read(highValue, highUnit);
    low = read(lowValue, lowUnit);
    return !std::isnan(high) || !std::isnan(low);
}

IconBitmap WeatherReader::GetIconBitmap(XMLDoc* doc, const ZEP_Utility::DateTime& date) {
    std::wstring name;
    if (const pugi::xml_node day = SelectDay(doc, date))
        name = XMLDoc::GetNodeText(day, L"dayPart/display/icon");
    if (!IsKnownIconName(name))
        name = kNoReportIcon;  // also a missing or empty icon
    return FindIcon(name);
}

std::wstring WeatherReader::RenderCityHtml(int cityId, const std::wstring& cityName,
                                           const std::wstring& templateName, int unit) {
    try {
        return BuildCityHtml(cityId, cityName, templateName, unit);
    } catch (const std::bad_alloc&) {
        return kNoMemoryPage;
    }
}

std::wstring WeatherReader::BuildCityHtml(int cityId, const std::wstring& cityName,
                                          const std::wstring& templateName, int unit) {
    const std::unique_ptr<XMLDoc> doc = OpenForecastWithCity(cityId, cityName);
    const std::wstring htmlFolder = FileUtils::GetHtmlFolder();
    std::wstring templateText;
    try {
        ZEP_IO::FileStream stream(htmlFolder + L"/" + templateName, ZEP_IO::FileMode::Open,
                                  ZEP_IO::FileAccess::Read, ZEP_IO::FileShare::Read);
        if (stream.GetLength() > kMaxTemplateBytes)
            return kTemplateTooLargePage;
        templateText = ZEP_IO::ReadAllText(stream);
    } catch (const ZEP_Utility::Exception& e) {
        templateText = e.GetMessage();
    }
    TemplateRenderer renderer(FileUrl(htmlFolder), m_referenceDate, unit);
    return renderer.Render(*doc, templateText);
}

}  // namespace OBWeather
