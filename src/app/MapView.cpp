#include "app/MapView.h"

#include <algorithm>

#include "app/ImageLoaders.h"
#include "app/ViewCommandHandler.h"
#include "data/City.h"
#include "dialogs/NearbyCitiesDialog.h"
#include "model/AppSettings.h"
#include "model/CityGroup.h"
#include "resources/Resources.h"

namespace {

// A world picture from the resources, or null when it is missing or does
// not decode (the map then shows a plain background).
HBITMAP LoadWorldPicture(unsigned id) {
    const HRSRC resource =
        ::FindResource(nullptr, MAKEINTRESOURCE(static_cast<int>(id)), OBResources::kImageResourceType);
    if (!resource)
        return nullptr;
    const void* bytes = ::LockResource(::LoadResource(nullptr, resource));
    OBControls::MemImageLoader loader;
    return loader.Load(bytes, ::SizeofResource(nullptr, resource));
}

// The world picture keeps its 2:1 shape: the full width on a tall screen,
// centred at half the height on a wide one.
RECT MapRectIn(const RECT& client) {
    const int width = client.right - client.left, height = client.bottom - client.top;
    const int mapHeight = std::min(height / 2, width / 2);
    const int mapWidth = std::min(width, 2 * mapHeight);
    const int left = client.left + (width - mapWidth) / 2;
    return RECT{left, client.top, left + mapWidth, client.top + mapHeight};
}

}  // namespace

MapView::MapView(OBData::CityGroup* cityGroup, OBControls::ViewCommandHandler* commandHandler)
    : MenuHandlingCityInfoListView(L"mapview_list", cityGroup, commandHandler) {}

MapView::~MapView() = default;

bool MapView::CreateControls() {
    const RECT client = GetClientRect();
    m_map = std::make_unique<OBControls::MapControl>(LoadWorldPicture(OBResources::kWorldDayImage),
                                                     LoadWorldPicture(OBResources::kWorldNightImage));
    // Made at the place the layout gives it: the picture is scaled once.
    const RECT mapRect = MapRectIn(client);
    if (!m_map->Create(m_hwnd, mapRect, kMapId))
        return false;
    const int width = client.right - client.left, height = client.bottom - client.top;
    if (std::min(width, height) > kLargeDotLimit)
        m_map->SetDotSize(2);
    if (!m_infoBar.Create(m_hwnd, RECT{client.left, mapRect.bottom, client.right, client.bottom}, kInfoBarId))
        return false;
    m_infoBar.SetCityGroup(m_cityGroup);
    m_infoBar.SetTime(ZEP_Utility::DateTime::UtcNow());
    m_map->GetImage().SetTwilight(GetAppSettings().GetMapTwilight());
    m_map->SetTime(ZEP_Utility::DateTime::UtcNow());
    m_map->SetCityGroup(m_cityGroup);
    m_map->ShowWindow(SW_SHOW);
    if (!MenuHandlingCityInfoListView::CreateControls())
        return false;
    ApplyRowFlags();
    return true;
}

void MapView::Layout() {
    const RECT client = GetClientRect();
    const int width = client.right - client.left;
    int top = client.top;
    if (m_map && m_map->GetHandle()) {
        const RECT map = MapRectIn(client);
        m_map->MoveWindow(map.left, map.top, map.right - map.left, map.bottom - map.top, true);
        top = map.bottom;
    }
    if (m_infoBar.GetHandle() && m_infoBar.IsVisible()) {
        m_infoBar.MoveWindow(client.left, top, width, m_infoBar.GetHeight(), true);
        top += m_infoBar.GetHeight();
    }
    if (m_list.GetHandle())
        m_list.MoveWindow(client.left, top, width, std::max<int>(client.bottom - top, 0), true);
}

void MapView::Activate() {
    MenuHandlingCityInfoListView::Activate();
    if (m_map)
        m_map->SetCityGroup(m_cityGroup);
}

void MapView::ApplyRowFlags() {
    // "Map view 2 line display" off: one-line rows, as the planner's option gives.
    using OBControls::CityGroupListCtrl;
    m_list.SetFlags(GetAppSettings().GetCityViewExtraInfo()
                        ? CityGroupListCtrl::kSeparatorLines
                        : CityGroupListCtrl::kSeparatorLines | CityGroupListCtrl::kOneLineRows);
}

void MapView::ApplySettings() {
    ApplyRowFlags();
    MenuHandlingCityInfoListView::ApplySettings();
    if (m_map) {
        m_map->SetShadow(GetAppSettings().GetShadow());
        m_map->SetTwilight(GetAppSettings().GetMapTwilight());
    }
}

void MapView::SetTime(const ZEP_Utility::DateTime& time) {
    MenuHandlingCityInfoListView::SetTime(time);
    m_infoBar.SetTime(time);
    if (!m_map)
        return;
    if (GetAppSettings().GetShadow()) {
        m_map->SetShadow(true);
        m_map->SetTime(time);
    } else {
        m_map->SetShadow(false);
    }
}

void MapView::SaveCities() {
    MenuHandlingCityInfoListView::SaveCities();
    // The group may hold other cities now: the dots follow.
    if (m_map)
        m_map->SetCityGroup(m_cityGroup);
}

void MapView::OnDestroy() {
    MenuHandlingCityInfoListView::OnDestroy();
    if (m_map) {
        if (m_map->GetHandle())
            m_map->Destroy();
        m_map.reset();
    }
}

void MapView::OnMapTapped(POINT pixel, const OBData::Position& position) {
    // A tap on (or next to) one of the chosen cities' dots is about that
    // city: its row is selected and the bar names it.
    OBData::Position named = position;
    if (m_map) {
        const int row = m_map->GetImage().CityRowAt(pixel, kDotTapSlack);
        if (row >= 0 && row < m_cityGroup->GetCount()) {
            m_list.SelectRow(row);
            named = m_cityGroup->GetCities()[static_cast<std::size_t>(row)]->GetPosition();
        }
    }
    m_infoBar.SetPosition(named);
    Layout();
    if (!m_map)
        return;
    const OBData::City* city = m_infoBar.GetCurrentCity();
    m_map->SetSelectedCity(city);
    // From the keyboard the ring moves onto the city just named.
    if (city && m_map->GetImage().GetCursor())
        m_map->SetCursor(m_map->GetImage().PositionToPixel(city->GetPosition()));
}

void MapView::OnMapKeyLeave(UINT key) {
    // Escape closes an open bar first; then, like Tab, it gives the keyboard
    // back to the list.
    if (key == VK_ESCAPE && m_infoBar.IsVisible()) {
        CloseInfoBar();
        return;
    }
    if (m_list.GetHandle())
        ::SetFocus(m_list.GetHandle());
}

void MapView::OnListKey(UINT key) {
    if (key == kMapKey && m_map && m_map->GetHandle())
        ::SetFocus(m_map->GetHandle());
    else if (key == VK_ESCAPE && m_infoBar.IsVisible())
        CloseInfoBar();
}

void MapView::CloseInfoBar() {
    m_infoBar.ShowWindow(SW_HIDE);
    Layout();
    if (m_map)
        m_map->SetSelectedCity(nullptr);
}

void MapView::OnInfoBarCommand(int button) {
    OBData::City* city = m_infoBar.GetCurrentCity();
    switch (button) {
    case NearestCityInfoBar::kInfoButton:
        if (city && m_commandHandler)
            m_commandHandler->ShowCityInfo(this, city, m_cityGroup);
        break;
    case NearestCityInfoBar::kAddButton:
        if (city) {
            m_cityGroup->AddCity(city->GetId());
            SaveCities();
        }
        break;
    case NearestCityInfoBar::kNearbyButton: {
        std::vector<int> chosen;
        if (city && ShowNearbyCitiesDialog(city->GetPosition(), chosen)) {
            for (int id : chosen)
                m_cityGroup->AddCity(id);
            if (!chosen.empty())
                SaveCities();
        }
        break;
    }
    case NearestCityInfoBar::kCloseButton: CloseInfoBar(); break;
    case NearestCityInfoBar::kNearerButton:
    case NearestCityInfoBar::kFurtherButton:
        if (m_map)
            m_map->SetSelectedCity(city);
        break;
    default: break;
    }
}

bool MapView::ShowNearbyCitiesDialog(const OBData::Position& position, std::vector<int>& chosen) {
    NearbyCitiesDialog dialog(position, m_hwnd);
    if (dialog.DoModal() != IDOK)
        return false;
    std::vector<OBData::City*> cities;
    dialog.GetChosenCities(cities);
    chosen.clear();
    for (const OBData::City* city : cities)
        chosen.push_back(city->GetId());
    return true;
}

bool MapView::OnNotify(const NMHDR& header, LRESULT& result) {
    if (header.idFrom == static_cast<UINT_PTR>(kMapId) && header.code == OBControls::kMapTapped) {
        const auto& tap = NotifyRecord<OBControls::MapTapNotify>(header);
        OnMapTapped(POINT{tap.x, tap.y}, tap.position);
        return true;
    }
    if (header.idFrom == static_cast<UINT_PTR>(kMapId) && header.code == OBControls::kMapKeyLeave) {
        OnMapKeyLeave(NotifyRecord<OBControls::MapKeyNotify>(header).key);
        return true;
    }
    if (header.idFrom == static_cast<UINT_PTR>(OBControls::kCityListId) &&
        header.code == OBControls::kCityListKeyDown)
        OnListKey(NotifyRecord<NMKEY>(header).nVKey);  // the list's own handling goes on
    if (header.idFrom == static_cast<UINT_PTR>(OBControls::kCityListId) &&
        header.code == OBControls::kCityListSelectionChanged) {
        const int row = NotifyRecord<OBControls::CityListSelectionNotify>(header).newRow;
        if (m_map && row >= 0 && row < m_cityGroup->GetCount())
            m_map->SetHighlightedRows({row});
        // The list's own parent handling goes on.
    }
    return MenuHandlingCityInfoListView::OnNotify(header, result);
}

bool MapView::OnCommand(const CommandParams& command) {
    if (command.id != kInfoBarId)
        return BaseView::OnCommand(command);
    OnInfoBarCommand(command.code);
    return true;
}
