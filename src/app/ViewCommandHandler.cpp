#include "app/ViewCommandHandler.h"

#include <string>

#include "app/BaseView.h"
#include "app/CityGroupListView.h"
#include "data/City.h"
#include "dialogs/CityInfoDialogBase.h"
#include "dialogs/CityWeatherDialog.h"
#include "model/AppSettings.h"
#include "model/CityGroup.h"
#include "platform/ui/display/Display.h"
#include "resources/ResourceIds.h"
#include "weather/DownloaderControl.h"
#include "weather/WeatherReader.h"
#include "wnd/Library.h"

namespace OBControls {

// The name goes in as it is: a "%" in it is text, not a format.
std::wstring ViewCommandHandler::RemoveQuestion(const OBData::City& city) {
    std::wstring text = ZEP_Wnd::LoadString(OBResources::kRemoveCityQuestion);
    const std::size_t at = text.find(L"%s");
    if (at != std::wstring::npos)
        text.replace(at, 2, city.GetDisplayName());
    return text;
}

bool ViewCommandHandler::OnCommand(BaseView* view, UINT, UINT id) {
    OBData::City* city = view->GetSelectedCity();
    OBData::CityGroup* group = view->GetCityGroup();
    switch (id) {
    case kCmdCityInformation:
        if (city)
            ShowCityInfo(view, city, group);
        return true;
    case kCmdWeatherDetail:
        if (city)
            ShowWeatherDetail(view, city);
        return true;
    case kCmdSetAsHome:
        if (city)
            SetAsHome(view, city, group);
        return true;
    case kCmdRemoveCity:
        if (city)
            RemoveCity(view, city, group);
        return true;
    case kCmdCopy:
        if (const std::wstring text = view->GetListText(); !text.empty())
            ob::ui::SetClipboardText(text);
        return true;
    case kCmdMoveUp: MoveCity(view, group, -1); return true;
    case kCmdMoveDown: MoveCity(view, group, +1); return true;
    case kCmdUpdateWeather:
        if (!group || group->GetCount() == 0)
            return false;
        UpdateWeather(view);
        return true;
    default: return false;
    }
}

bool ViewCommandHandler::UpdateCommandState(BaseView* view, UINT id, bool& enabled) {
    switch (id) {
    case kCmdCityInformation:
    case kCmdRemoveCity:
    case kCmdWeatherDetail: enabled = view->GetSelectedCity() != nullptr; return true;
    case kCmdSetAsHome: {
        const OBData::City* city = view->GetSelectedCity();
        const OBData::CityGroup* group = view->GetCityGroup();
        enabled = city && group && !group->IsHomeCity(city);
        return true;
    }
    case kCmdUpdateWeather: enabled = !IsDownloaderBusy(); return true;
    case kCmdCopy: {
        const OBData::CityGroup* group = view->GetCityGroup();
        enabled = group && group->GetCount() > 0;
        return true;
    }
    // Views with an information list answer this before it gets here; the
    // weather list has no fields to change.
    case kCmdChangeFields: enabled = false; return true;
    case kCmdMoveUp: enabled = CanMoveCity(view, view->GetCityGroup(), -1); return true;
    case kCmdMoveDown: enabled = CanMoveCity(view, view->GetCityGroup(), +1); return true;
    default: return false;
    }
}

void ViewCommandHandler::ShowCityInfo(BaseView* view, OBData::City* city, OBData::CityGroup* group) {
    if (!city)
        return;
    // The home city is described on its own, without a relation to itself.
    const OBData::City* home = group ? group->GetHomeCity() : nullptr;
    if (home && home->GetId() == city->GetId())
        home = nullptr;
    CityInfoDialogBase dialog(view ? view->GetHandle() : nullptr, city, home);
    dialog.DoModal();
}

void ViewCommandHandler::SetAsHome(BaseView* view, OBData::City* city, OBData::CityGroup* group) {
    if (!group || !group->SetHomeCity(city))
        return;
    view->SaveCities();
}

void ViewCommandHandler::RemoveCity(BaseView* view, OBData::City* city, OBData::CityGroup* group) {
    const std::wstring question = RemoveQuestion(*city);
    const std::wstring caption = ZEP_Wnd::LoadString(OBResources::kProgramName);
    // The city is taken by id before the box: the box runs a loop in which
    // the list may be refilled.
    const int id = city->GetId();
    if (::MessageBox(view->GetHandle(), question.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) !=
        IDYES)
        return;
    group->RemoveCity(id);
    view->SaveCities();
}

// A reader of its own for as long as the page is shown.
void ViewCommandHandler::ShowWeatherDetail(BaseView* view, OBData::City* city) {
    OBWeather::WeatherReader reader;
    // "Today" on the page is the home city's date, as in the weather list.
    if (const OBData::City* home = view->GetCityGroup() ? view->GetCityGroup()->GetHomeCity() : nullptr)
        reader.SetReferenceDate(home->GetLocalTime(ZEP_Utility::DateTime::UtcNow()));
    CityWeatherDialogBase dialog(view->GetHandle(), &reader, city, 0, 0);
    dialog.DoModal();
}

void ViewCommandHandler::UpdateWeather(BaseView* view) {
    AppSettings& settings = GetAppSettings();
    if (settings.GetWeatherUpdateWarning()) {
        const std::wstring text = ZEP_Wnd::LoadString(OBResources::kDataCostWarning);
        const std::wstring caption = ZEP_Wnd::LoadString(OBResources::kProgramName);
        if (::MessageBox(view->GetHandle(), text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) !=
            IDYES)
            return;
        // Asked once: the answer reaches the file with the next full save.
        settings.SetWeatherUpdateWarning(false);
    }
    RequestUpdateNow();
}

bool ViewCommandHandler::CanMoveCity(BaseView* view, OBData::CityGroup* group, int delta) {
    if (!group || !view->CanMoveCities(group, delta))
        return false;
    auto* listView = dynamic_cast<CityGroupListView*>(view);
    if (!listView || !listView->GetListControl())
        return false;
    const int to = listView->GetListControl()->GetSelectedRow() + delta;
    return to >= 0 && to < group->GetCount();
}

void ViewCommandHandler::MoveCity(BaseView* view, OBData::CityGroup* group, int delta) {
    if (!group || !view->CanMoveCities(group, delta))
        return;
    auto* listView = dynamic_cast<CityGroupListView*>(view);
    CityGroupListCtrl* list = listView ? listView->GetListControl() : nullptr;
    if (!list)
        return;
    const int from = list->GetSelectedRow();
    const int to = from + delta;
    if (from < 0 || from >= group->GetCount() || to < 0 || to >= group->GetCount())
        return;
    group->MoveCity(from, to);
    list->SelectRow(to);
    // Every row's dial code and distance depend on which city is home.
    if (from == 0 || to == 0)
        list->Invalidate(false);
}

UINT ViewCommandHandler::GetCityMenuId() { return 0; }

bool ViewCommandHandler::IsDownloaderBusy() { return OBWeather::IsDownloaderBusy(); }

void ViewCommandHandler::RequestUpdateNow() { OBWeather::RequestUpdateNow(); }

}  // namespace OBControls

UINT ViewCommandHandlerPPC::GetCityMenuId() { return OBResources::kCityPopupMenu; }
