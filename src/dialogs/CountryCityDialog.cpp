#include "dialogs/CountryCityDialog.h"

#include <memory>
#include <string>

#include "data/DataView.h"
#include "data/ReferenceLookup.h"

CountryCityDialog::CountryCityDialog(UINT templateId, HWND parent, int countriesId, int citiesId)
    : Dialog(templateId, parent), m_countriesId(countriesId), m_citiesId(citiesId) {}

void CountryCityDialog::BindControls(bool attach) {
    if (attach) {
        m_countries.AttachDlgItem(m_hwnd, m_countriesId);
        m_cities.AttachDlgItem(m_hwnd, m_citiesId);
    } else {
        m_countries.Unsubclass();
        m_cities.Unsubclass();
    }
}

void CountryCityDialog::FillCountries() {
    const OBData::DataView* view = OBData::GetCountryView();
    if (!view)
        return;
    for (int i = 0; i < view->GetCount(); ++i) {
        std::wstring name;
        if (!view->GetRow(i).GetString(L"displayName", name))
            continue;
        const int at = m_countries.AddString(name);
        if (at >= 0)
            m_countries.SetItemData(at, i);
    }
    m_countries.SetCurSel(0);
}

void CountryCityDialog::FillCities() {
    m_cities.SetRedraw(false);
    m_cities.ResetContent();
    const int selected = m_countries.GetCurSel();
    const OBData::DataView* countries = OBData::GetCountryView();
    if (selected >= 0 && countries) {
        const auto row = static_cast<int>(m_countries.GetItemData(selected));
        std::wstring code;
        if (row >= 0 && row < countries->GetCount() && countries->GetRow(row).GetString(L"iso2Name", code)) {
            const std::wstring filter = L"country = '" + code + L"'";
            const std::unique_ptr<OBData::DataView> cities(OBData::CreateCityView(nullptr, filter.c_str()));
            for (int i = 0; cities && i < cities->GetCount(); ++i) {
                const OBData::DataRow city = cities->GetRow(i);
                std::wstring name;
                std::int32_t id = 0;
                if (!city.GetString(L"displayName", name) || !city.GetInt(L"id", id))
                    continue;
                const int at = m_cities.AddString(name);
                if (at >= 0)
                    m_cities.SetItemData(at, id);
            }
        }
    }
    m_cities.SetRedraw(true);
}
