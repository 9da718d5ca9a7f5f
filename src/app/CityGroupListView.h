// A view whose content is one city list: activation fills the list, leaving
// stores it (and writes the settings file), tap-and-hold opens the city menu.
#pragma once

#include "app/BaseView.h"

#include "app/CityGroupInfoList.h"
#include "app/DayNightImageList.h"

namespace OBControls {

// The city list's control id in every view.
constexpr int kCityListId = 1001;

class CityGroupListView : public BaseView {
public:
    CityGroupListView(OBData::CityGroup* cityGroup, ViewCommandHandler* commandHandler, UINT emptyTextId);

    // Window: the focus goes on to the list; tap-and-hold on the list opens the city menu.
    bool OnSetFocus(HWND previous) override;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    void Activate() override;
    void Deactivate() override;
    void ApplySettings() override;
    void SaveCities() override;
    OBData::City* GetSelectedCity() override;
    bool CanMoveCities(OBData::CityGroup* group, int delta) override;
    void SetTime(const ZEP_Utility::DateTime& time) override;
    void Layout() override;
    // The cities at the instant the list shows.
    std::wstring GetListText() override;

    virtual CityGroupListCtrl* GetListControl() = 0;
    virtual void OnCityActivated(OBData::City* city);

    UINT GetEmptyTextId() const { return m_emptyTextId; }

protected:
    // Tap-and-hold reported by the list at a screen point: the city menu.
    bool OnContextMenu(POINT screenPoint);

    UINT m_emptyTextId;
};

}  // namespace OBControls
