// The world map view: the map with the night shadow and the user's cities
// above the city list. A tap on the map names the nearest city in a bar
// between the map and the list; selecting a row highlights its city's dot.
#pragma once

#include <memory>
#include <vector>

#include "app/MapControl.h"
#include "app/MenuHandlingCityInfoListView.h"
#include "app/NearestCityInfoBar.h"

class MapView : public MenuHandlingCityInfoListView {
public:
    static constexpr int kMapId = 10002;
    static constexpr int kInfoBarId = 10003;
    // Screens whose smaller side is larger than this get the larger dots.
    static constexpr int kLargeDotLimit = 240;
    // The key that takes the keyboard from the list into the map.
    static constexpr UINT kMapKey = 'M';
    // How far beside a chosen city's dot a tap still selects its row.
    static constexpr int kDotTapSlack = 2;

    MapView(OBData::CityGroup* cityGroup, OBControls::ViewCommandHandler* commandHandler);
    ~MapView() override;

    bool CreateControls() override;
    void Layout() override;
    void Activate() override;
    void ApplySettings() override;
    void SetTime(const ZEP_Utility::DateTime& time) override;
    void SaveCities() override;
    // Taps on the map and the list's selection; the info bar's buttons.
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    bool OnCommand(const CommandParams& command) override;
    using MenuHandlingCityInfoListView::OnCommand;
    void OnDestroy() override;

    OBControls::MapControl* GetMapControl() const { return m_map.get(); }
    NearestCityInfoBar& GetInfoBar() { return m_infoBar; }

protected:
    // The nearby cities dialog around `position`; true on OK with the chosen
    // city ids in `chosen`, in list order.
    virtual bool ShowNearbyCitiesDialog(const OBData::Position& position, std::vector<int>& chosen);

private:
    void OnMapTapped(POINT pixel, const OBData::Position& position);
    void OnMapKeyLeave(UINT key);
    void OnListKey(UINT key);
    void OnInfoBarCommand(int button);
    void CloseInfoBar();
    void ApplyRowFlags();

    std::unique_ptr<OBControls::MapControl> m_map;
    NearestCityInfoBar m_infoBar;
};
