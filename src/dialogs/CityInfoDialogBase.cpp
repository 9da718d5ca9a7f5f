#include "dialogs/CityInfoDialogBase.h"

#include "data/City.h"
#include "info/CityInfoPage.h"

namespace OBControls {

CityInfoDialogBase::CityInfoDialogBase(HWND parent, const OBData::City* city, const OBData::City* otherCity,
                                       UINT titleId, UINT menuBarId)
    : HtmlDialog(parent, ZEP_Wnd::kFullScreenDialogFlags, titleId, menuBarId),
      m_city(city),
      m_otherCity(otherCity) {}

bool CityInfoDialogBase::OnInitDialog() {
    if (!HtmlDialog::OnInitDialog())
        return false;
    if (m_city) {
        // The page's city names the dialog, as the shell shows it in the title bar.
        SetWindowText(m_city->GetDisplayName());
        m_page = OBData::BuildCityInfoPage(*m_city, m_otherCity, m_moment, m_smallText);
    }
    SetHtml(m_page);
    return true;
}

}  // namespace OBControls
