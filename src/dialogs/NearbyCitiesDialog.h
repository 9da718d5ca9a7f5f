// "Add City": the gazetteer cities nearest a position, cut by count or by
// radius as the nearby settings say. The user may change the count (kept in
// the settings in memory, written with the next save) and picks any number
// of rows to add.
#pragma once

#include <vector>

#include "geo/NearestCities.h"
#include "geo/Position.h"
#include "model/AppSettings.h"
#include "resources/ResourceIds.h"
#include "wnd/Controls.h"
#include "wnd/Dialog.h"

namespace OBData {
class City;
}

class NearbyCitiesDialog : public ZEP_Wnd::Dialog {
public:
    static constexpr int kCountId = OBResources::kNearbyCountId;
    static constexpr int kUpdateId = OBResources::kNearbyUpdateId;
    static constexpr int kListId = OBResources::kNearbyListId;

    NearbyCitiesDialog(const OBData::Position& centre, HWND parent);

    // The cities of the rows selected at "Add", in list order; their number.
    int GetChosenCities(std::vector<OBData::City*>& cities) const;

    void BindControls(bool attach) override;
    bool OnInitDialog() override;
    void OnOK() override;
    // The buttons and the count; the shell fitting the dialog around its
    // bars; the list's selection.
    bool OnCommand(const CommandParams& command) override;
    bool OnSize(SIZE client) override;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;

    ZEP_Wnd::ListCtrl& GetList() { return m_list; }

private:
    void FillList();
    void UpdateButtons();
    void OnUpdate();
    // The number in the count field; 0 when it holds none.
    int ReadCount() const;

    ZEP_Wnd::ListCtrl m_list;
    OBData::Position m_centre;
    std::vector<OBData::NearestCity> m_candidates;
    NearbySettings m_nearby;
    std::vector<OBData::City*> m_chosen;
};
