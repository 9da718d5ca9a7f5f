// The City menu and Tools > "Update Weather" act on the city selected in the
// view that is shown. Every view hands those commands, and the question of
// their menu state, to one shared handler owned by the main window.
#pragma once

#include <string>

#include "data/Forward.h"
#include "platform/ui/Windows.h"
#include "resources/ResourceIds.h"

namespace OBControls {

class BaseView;

// Commands of the City menu (both menus) and of the Tools menu.
using OBResources::kCmdChangeFields;  // only views with an information list take it
using OBResources::kCmdCityInformation;
using OBResources::kCmdCopy;  // the view's cities on the clipboard as text
using OBResources::kCmdMoveDown;
using OBResources::kCmdMoveUp;
using OBResources::kCmdRemoveCity;
using OBResources::kCmdSetAsHome;
using OBResources::kCmdUpdateWeather;
using OBResources::kCmdWeatherDetail;

class ViewCommandHandler {
public:
    ViewCommandHandler() = default;
    ViewCommandHandler(const ViewCommandHandler&) = delete;
    ViewCommandHandler& operator=(const ViewCommandHandler&) = delete;

    virtual ~ViewCommandHandler() = default;
    virtual bool OnCommand(BaseView* view, UINT notifyCode, UINT id);
    virtual bool UpdateCommandState(BaseView* view, UINT id, bool& enabled);
    virtual void ShowCityInfo(BaseView* view, OBData::City* city, OBData::CityGroup* group);
    virtual void SetAsHome(BaseView* view, OBData::City* city, OBData::CityGroup* group);
    virtual void RemoveCity(BaseView* view, OBData::City* city, OBData::CityGroup* group);
    virtual void ShowWeatherDetail(BaseView* view, OBData::City* city);
    virtual void UpdateWeather(BaseView* view);
    virtual void MoveCity(BaseView* view, OBData::CityGroup* group, int delta);
    virtual bool CanMoveCity(BaseView* view, OBData::CityGroup* group, int delta);
    // The menu resource of the views' tap-and-hold menu; 0: none.
    virtual UINT GetCityMenuId();

    // The removal question with the city's name in place of the placeholder.
    static std::wstring RemoveQuestion(const OBData::City& city);

protected:
    // Whether the downloader is fetching now (Update Weather is greyed then).
    virtual bool IsDownloaderBusy();
    // Asks the downloader for one fetch now.
    virtual void RequestUpdateNow();
};

}  // namespace OBControls

// The handler of the device build: tap-and-hold opens the City menu (104).
class ViewCommandHandlerPPC : public OBControls::ViewCommandHandler {
public:
    UINT GetCityMenuId() override;
};
