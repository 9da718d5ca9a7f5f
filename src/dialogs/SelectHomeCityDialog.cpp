#include "dialogs/SelectHomeCityDialog.h"

#include "data/ReferenceLookup.h"
#include "resources/Resources.h"

SelectHomeCityDialog::SelectHomeCityDialog(HWND parent)
    : CountryCityDialog(OBResources::kHomeCityTemplate, parent, kCountriesId, kCitiesId) {}

bool SelectHomeCityDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    FitToClient({kCitiesId});
    FillCountries();
    ShowCities();
    return true;
}

// The chosen country's cities, the first of them selected.
void SelectHomeCityDialog::ShowCities() {
    FillCities();
    m_cities.SetCurSel(0);
}

void SelectHomeCityDialog::OnOK() {
    const int selected = m_cities.GetCurSel();
    if (selected >= 0)
        m_chosenCity = OBData::GetCity(static_cast<std::int32_t>(m_cities.GetItemData(selected)));
    Dialog::OnOK();
}

bool SelectHomeCityDialog::OnCommand(const CommandParams& command) {
    if (command.id != static_cast<UINT>(kCountriesId) || command.code != CBN_SELCHANGE)
        return CountryCityDialog::OnCommand(command);
    ShowCities();
    return true;
}
