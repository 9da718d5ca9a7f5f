// "Home City": asked at the first start, when the user has no cities yet.
// Returns one city of the gazetteer, chosen by country.
#pragma once

#include "dialogs/CountryCityDialog.h"

namespace OBData {
class City;
}

class SelectHomeCityDialog : public CountryCityDialog {
public:
    static constexpr int kCountriesId = 1035;
    static constexpr int kCitiesId = 1036;

    explicit SelectHomeCityDialog(HWND parent);

    // The city chosen with OK; none before or after Cancel.
    OBData::City* GetChosenCity() const { return m_chosenCity; }

    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(const CommandParams& command) override;

private:
    void ShowCities();

    OBData::City* m_chosenCity = nullptr;
};
