#include "dialogs/CityWeatherDialog.h"

#include "data/City.h"
#include "model/AppSettings.h"
#include "weather/WeatherReader.h"

namespace OBControls {

CityWeatherDialogBase::CityWeatherDialogBase(HWND parent, OBWeather::WeatherReader* reader,
                                             OBData::City* city, UINT titleId, UINT menuBarId)
    : HtmlDialog(parent, ZEP_Wnd::kFullScreenDialogFlags, titleId, menuBarId),
      m_reader(reader),
      m_city(city) {}

bool CityWeatherDialogBase::OnInitDialog() {
    const HCURSOR previous = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    if (!HtmlDialog::OnInitDialog())
        return false;
    Rebuild();
    ::SetCursor(previous);
    return true;
}

void CityWeatherDialogBase::Rebuild() {
    if (m_reader && m_city)
        SetHtml(m_reader->RenderCityHtml(m_city->GetId(), m_city->GetDisplayName(), kPageTemplate,
                                         GetAppSettings().GetTemperatureUnits()));
}

}  // namespace OBControls
