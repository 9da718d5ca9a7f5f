// "Home City": asked at the first start, when the user has no cities yet.
// Returns one city of the gazetteer, found by name or chosen by country. It
// opens at the city of the machine's own time zone when there is one.
#pragma once

#include "dialogs/CountryCityDialog.h"
#include "resources/ResourceIds.h"

namespace OBData {
class City;
}

class SelectHomeCityDialog : public CountryCityDialog {
public:
    static constexpr int kCountriesId = OBResources::kHomeCountriesId;
    static constexpr int kCitiesId = OBResources::kHomeCitiesId;
    static constexpr int kFindId = OBResources::kHomeFindId;

    // `initial` is the city shown and selected when the dialog opens; without
    // one, the alphabetically first country's first city.
    explicit SelectHomeCityDialog(HWND parent, const OBData::City* initial = nullptr);

    // The city chosen with OK; none before or after Cancel.
    OBData::City* GetChosenCity() const { return m_chosenCity; }

    bool OnInitDialog() override;
    void OnOK() override;

private:
    void TakeHighlighted() override;
    void OnCitiesChanged() override;

    const OBData::City* m_initial;
    OBData::City* m_chosenCity = nullptr;
};
