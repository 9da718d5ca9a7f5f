// The part the Change Cities and Home City dialogs share: a drop-down of the
// gazetteer's countries and a list of the chosen country's cities.
#pragma once

#include <initializer_list>
#include <vector>

#include "wnd/Controls.h"
#include "wnd/Dialog.h"

class CountryCityDialog : public ZEP_Wnd::Dialog {
public:
    CountryCityDialog(UINT templateId, HWND parent, int countriesId, int citiesId);

    void BindControls(bool attach) override;
    // A new size (the shell fitting the dialog around its bars) fits the lists again.
    bool OnSize(SIZE client) override;

    const ZEP_Wnd::ComboBox& GetCountries() const { return m_countries; }
    const ZEP_Wnd::ListBox& GetCities() const { return m_cities; }

protected:
    // Every country by name, its row in the country view as the item's data;
    // the alphabetically first one selected.
    void FillCountries();
    // The selected country's cities by name, their ids as the items' data.
    void FillCities();
    // On a screen shorter than the layout (landscape) the given lists give up
    // rows, down to two each, and what lies below them moves up, so that the
    // buttons at the bottom stay on the screen.
    void FitToClient(std::initializer_list<int> listIds);

    ZEP_Wnd::ComboBox m_countries;
    ZEP_Wnd::ListBox m_cities;

private:
    std::vector<int> m_fitLists;
    int m_countriesId;
    int m_citiesId;
};
