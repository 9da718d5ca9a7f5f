#include "dialogs/SelectHomeCityDialog.h"

#include "data/City.h"
#include "data/ReferenceLookup.h"
#include "resources/Resources.h"

SelectHomeCityDialog::SelectHomeCityDialog(HWND parent, const OBData::City* initial)
    : CountryCityDialog(OBResources::kHomeCityTemplate, parent, kFindId, kCountriesId, kCitiesId),
      m_initial(initial) {}

bool SelectHomeCityDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    FitToClient({kCitiesId});
    FillCountries();
    if (m_initial)
        ShowCity(*m_initial, true);
    else
        FillCities();
    OnCitiesChanged();
    FocusFindBox();
    return false;
}

// A list never stands without a highlighted city while it has one to offer.
void SelectHomeCityDialog::OnCitiesChanged() {
    if (m_cities.GetCurSel() < 0 && m_cities.GetCount() > 0)
        m_cities.SetCurSel(0);
}

void SelectHomeCityDialog::TakeHighlighted() {
    if (m_cities.GetCurSel() >= 0)
        OnOK();
}

void SelectHomeCityDialog::OnOK() {
    const int selected = m_cities.GetCurSel();
    if (selected >= 0)
        m_chosenCity = OBData::GetCity(static_cast<std::int32_t>(m_cities.GetItemData(selected)));
    Dialog::OnOK();
}
