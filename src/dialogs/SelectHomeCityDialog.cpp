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

bool SelectHomeCityDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const CommandParams command = CommandFromParams(wParam, lParam);
    if (message == WM_COMMAND && command.id == kCountriesId && command.code == CBN_SELCHANGE) {
        ShowCities();
        result = 0;
        return true;
    }
    return CountryCityDialog::OnMessage(message, wParam, lParam, result);
}
