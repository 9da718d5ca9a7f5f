// "Change Cities": the user's whole list of cities. Cities found by name or
// listed by country are added (what is highlighted in the list, no more),
// removed, moved up and down and one is made the home city (the first
// entry, marked " [HOME]"). It opens at the home city's country. The dialog
// works on a copy of the group; the caller takes the result after OK.
#pragma once

#include <string>

#include "dialogs/CountryCityDialog.h"
#include "model/CityGroup.h"
#include "resources/ResourceIds.h"

class PickCitiesDialog : public CountryCityDialog {
public:
    static constexpr int kCountriesId = OBResources::kPickCountriesId;
    static constexpr int kCitiesId = OBResources::kPickCitiesId;
    static constexpr int kAddId = OBResources::kPickAddId;
    static constexpr int kRemoveId = OBResources::kPickRemoveId;
    static constexpr int kSelectedId = OBResources::kPickSelectedId;
    static constexpr int kSetHomeId = OBResources::kPickSetHomeId;
    static constexpr int kUpId = OBResources::kPickUpId;
    static constexpr int kDownId = OBResources::kPickDownId;
    static constexpr int kFindId = OBResources::kPickFindId;

    PickCitiesDialog(HWND parent, const OBData::CityGroup& cities);

    // Copies the edited list into `cities`.
    void GetCityGroup(OBData::CityGroup& cities) const;

    void BindControls(bool attach) override;
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(const CommandParams& command) override;

    const ZEP_Wnd::ListBox& GetSelected() const { return m_selected; }

private:
    void TakeHighlighted() override;
    void OnCitiesChanged() override;
    void UpdateButtons();
    void MarkHome(int index);
    void AddToSelected(int id, const std::wstring& text, int position);
    void RemoveAt(int index);
    void Move(int from, int to);
    void Add();
    int IndexOfId(int id) const;

    ZEP_Wnd::ListBox m_selected;
    OBData::CityGroup m_group;
};
