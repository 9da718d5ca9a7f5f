// The time planner: the planner panel above the city list. The list shows
// every city at the instant chosen in the panel and does not follow the clock.
#pragma once

#include <memory>

#include "app/MenuHandlingCityInfoListView.h"
#include "dialogs/TimePlannerDialog.h"

class TimePlannerListView : public MenuHandlingCityInfoListView {
public:
    TimePlannerListView(OBData::CityGroup* cityGroup, OBControls::ViewCommandHandler* commandHandler);
    ~TimePlannerListView() override;

    bool OnNotify(const NMHDR& header, LRESULT& result) override;

    void Activate() override;
    void Deactivate() override;
    void ApplySettings() override;
    // The list keeps the planner's instant while the clock runs.
    void SetTime(const ZEP_Utility::DateTime& time) override;
    bool CreateControls() override;
    void Layout() override;
    // Headed by the home time chosen in the panel.
    std::wstring GetListText() override;

    // The panel; none before the view's window is made.
    TimePlannerDialog* GetPanel() { return m_panel.get(); }

private:
    // The list's notifications: a new city group, and the keys that leave
    // the list for the panel (Tab, Shift+Tab, up from the first row).
    void OnListNotify(const NMHDR& header);

    std::unique_ptr<TimePlannerDialog> m_panel;
    bool m_keyMovedSelection = false;
};
