// The weather detail page of one city: its forecast file rendered through the
// page template "cityforecast.html" and shown in the HTML dialog.
#pragma once

#include <string>

#include "wnd/Dialog.h"

namespace OBData {
class City;
}
namespace OBWeather {
class WeatherReader;
}

namespace OBControls {

class CityWeatherDialogBase : public ZEP_Wnd::HtmlDialog {
public:
    static constexpr const wchar_t* kPageTemplate = L"cityforecast.html";

    // `reader` and `city` are not owned and must outlive the dialog.
    CityWeatherDialogBase(HWND parent, OBWeather::WeatherReader* reader, OBData::City* city, UINT titleId,
                          UINT menuBarId);

    bool OnInitDialog() override;
    // Builds the page again from the city's forecast file (it was replaced).
    void Rebuild();

    // The page as it was handed to the viewer.
    const std::wstring& GetHtml() const { return m_pendingHtml; }
    OBData::City* GetCity() const { return m_city; }

private:
    OBWeather::WeatherReader* m_reader;
    OBData::City* m_city;
};

}  // namespace OBControls
