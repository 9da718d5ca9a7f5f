#include "resources/Resources.h"

#include <string>
#include <utility>
#include <vector>

#include "platform/ui/Controls.h"
#include "platform/ui/html/HtmlControl.h"
#include "platform/ui/win/ResourceRegistry.h"
#include "resources/DialogTemplates.h"
#include "resources/EmbeddedFiles.h"
#include "wnd/Dialog.h"

namespace OBResources {
namespace {

using ob::ui::MenuBarButton;
using ob::ui::MenuBarResource;
using ob::ui::MenuResource;

// Every text the program shows by number.
const std::pair<unsigned, const wchar_t*> kStrings[] = {
    {kNoCitiesText,
     L"You do not have any cities selected.\nClick on the map or select City/Change Cities on the menu to "
     L"choose your cities."},
    {kAddCityTip, L"Add this city"},
    {kCityInfoTip, L"City information"},
    {kNearbyCitiesTip, L"Show the nearby cities"},
    {kCloseBarTip, L"Close the info bar"},
    {kNearerCityTip, L"Nearer city"},
    {kFurtherCityTip, L"Further city"},
    {kViewMenuText, L"View"},
    {kDialLabel, L"Dial: "},
    {kDistanceLabel, L"Distance: "},
    {kSunriseLabel, L"Sunrise: "},
    {kSunsetLabel, L"Sunset: "},
    {kPreviousInfoTip, L"Display previous city info"},
    {kNextInfoTip, L"Display next city info"},
    {kSummerLabel, L"Summer: "},
    {kAirportLabel, L"Airport: "},
    {kOffsetLabel, L"Offset: "},
    {kSundayText, L"Sun"},
    {kSundayText + 1, L"Mon"},
    {kSundayText + 2, L"Tue"},
    {kSundayText + 3, L"Wed"},
    {kSundayText + 4, L"Thu"},
    {kSundayText + 5, L"Fri"},
    {kSundayText + 6, L"Sat"},
    {kTodayText, L"Today"},
    {kUpdatingText, L"Updating..."},
    {kProgramName, L"Orbelline"},
    {kRemoveCityQuestion, L"Are you sure you want to remove %s?"},
    {kKilometresText, L"Kilometres"},
    {kMilesText, L"Miles"},
    {kNauticalMilesText, L"Nautical miles"},
    {kAmPmText, L"AM/PM"},
    {k24HourText, L"24 Hour"},
    {kLogCriticalText, L"Critical errors only"},
    {kLogErrorsText, L"All errors"},
    {kLogWarningsText, L"Warnings and errors"},
    {kLogInformationText, L"Informational messages"},
    {kLogDetailText, L"Detailed information"},
    {kLogFullText, L"Full logging"},
    {kCelsiusText, L"Celsius"},
    {kFahrenheitText, L"Fahrenheit"},
    {kDataCostWarning,
     L"This may incur data costs if you are updating on a phone and you're not already connected to the "
     L"internet (eg. via a wireless network).\nAre you sure you want to continue?"},
    {kFileMenuText, L"File"},
    {kCityMenuText, L"City"},
    {kToolsMenuText, L"Tools"},
};

MenuResource Item(const wchar_t* text, UINT id) {
    MenuResource item;
    item.text = text;
    item.id = id;
    return item;
}

MenuResource Separator() {
    MenuResource item;
    item.flags = MF_SEPARATOR;
    return item;
}

MenuResource Popup(const wchar_t* text, std::vector<MenuResource> items) {
    MenuResource popup;
    popup.text = text;
    popup.items = std::move(items);
    return popup;
}

// The City menu: the main menu's third popup and the tap-and-hold menu.
MenuResource CityPopup() {
    return Popup(L"City",
                 {Item(L"Information...", kCmdCityInformation), Item(L"Weather Detail...", kCmdWeatherDetail),
                  Separator(), Item(L"Set as Home", kCmdSetAsHome), Item(L"Remove", kCmdRemoveCity),
                  Item(L"Move Up", kCmdMoveUp), Item(L"Move Down", kCmdMoveDown), Separator(),
                  Item(L"Change Cities...", kCmdChangeCities), Item(L"Change Fields...", kCmdChangeFields),
                  Separator(), Item(L"Copy", kCmdCopy)});
}

void RegisterMenus() {
    MenuResource main;
    main.items = {
        Popup(L"File",
              {Item(L"About Orbelline...", kCmdAbout), Separator(), Item(L"Exit\tCtrl+Q", kCmdExit)}),
        Popup(L"View",
              {Item(L"World Map\tCtrl+1", kCmdViewMap), Item(L"Time Planner\tCtrl+2", kCmdViewPlanner),
               Item(L"Weather\tCtrl+3", kCmdViewWeather)}),
        CityPopup(),
        Popup(L"Tools", {Item(L"Options...", kCmdOptions), Item(L"Update Weather", kCmdUpdateWeather)}),
    };
    ob::ui::RegisterMenu(kMainMenu, std::move(main));

    MenuBarResource bar;
    bar.menuId = kMainMenu;
    bar.buttons = {{kFileMenuButton, kFileMenuText, 0, {}},
                   {kViewMenuButton, kViewMenuText, 1, {}},
                   {kCityMenuButton, kCityMenuText, 2, {}},
                   {kToolsMenuButton, kToolsMenuText, 3, {}}};
    ob::ui::RegisterMenuBar(kMainMenu, std::move(bar));

    MenuResource cityMenu;
    cityMenu.items = {CityPopup()};
    ob::ui::RegisterMenu(kCityPopupMenu, std::move(cityMenu));
}

// "Change Cities" and "Home City": a find box above a country drop-down and
// the list that shows either's cities.
void RegisterCityDialogs() {
    constexpr DWORD kCombo = CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP;
    // The lists take whatever height the screen leaves, to the pixel (a part
    // row at the foot rather than a gap below).
    constexpr DWORD kList = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
    constexpr DWORD kFind = ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;

    DLGTEMPLATE pick = FullScreenPage(L"Change Cities");
    pick.items = {
        Label(L"Find:", 4, 5, 32, 8),
        DialogItem(WC_EDIT, L"", kPickFindId, kFind, 36, 3, 96, 12),
        Label(L"Country:", 4, 19, 32, 8),
        DialogItem(WC_COMBOBOX, L"", kPickCountriesId, kCombo, 36, 17, 96, 64),
        // A tap selects one city; Ctrl, Shift or a drag of the pen select several.
        DialogItem(WC_LISTBOX, L"", kPickCitiesId, kList | LBS_SORT | LBS_EXTENDEDSEL, 4, 31, 128, 34),
        Button(L"Add", kPickAddId, 4, 67, 44, 12),
        Button(L"Remove", kPickRemoveId, 88, 67, 44, 12),
        // Two lines where the screen's font is too wide for one beside "Set as Home".
        Label(L"Selected Cities:", 4, 83, 48, 16),
        Button(L"Set as Home", kPickSetHomeId, 53, 87, 51, 12),
        Button(L"Up", kPickUpId, 107, 82, 25, 10),
        Button(L"Down", kPickDownId, 107, 92, 25, 10),
        DialogItem(WC_LISTBOX, L"", kPickSelectedId, kList, 4, 104, 128, 32),
        Button(L"OK", IDOK, 4, 140, 48, 12),
        Button(L"Cancel", IDCANCEL, 84, 140, 48, 12),
    };
    ob::ui::RegisterDialog(kPickCitiesTemplate, std::move(pick));

    DLGTEMPLATE home = FullScreenPage(L"Home City");
    home.items = {
        Label(L"Select your home city", 2, 2, 128, 8),
        DialogItem(WC_BUTTON, L"", kNoId, BS_GROUPBOX, 2, 11, 132, 9),
        Label(L"Find:", 2, 26, 32, 8),
        DialogItem(WC_EDIT, L"", kHomeFindId, kFind, 36, 24, 96, 12),
        Label(L"Country:", 2, 41, 32, 8),
        DialogItem(WC_COMBOBOX, L"", kHomeCountriesId, kCombo, 36, 39, 96, 64),
        Label(L"City:", 2, 56, 32, 8),
        DialogItem(WC_LISTBOX, L"", kHomeCitiesId, kList | LBS_SORT, 2, 65, 132, 70),
        Button(L"OK", IDOK, 4, 140, 48, 12),
        Button(L"Cancel", IDCANCEL, 84, 140, 48, 12),
    };
    ob::ui::RegisterDialog(kHomeCityTemplate, std::move(home));
}

// The time planner's panel: a child of the planner view, above its list.
void RegisterTimePlannerPanel() {
    DLGTEMPLATE panel;
    panel.style = WS_CHILD | DS_SETFONT;
    panel.cx = 135;
    panel.cy = 66;
    panel.items = {
        DialogItem(WC_BUTTON, L"Time", kPlannerTimeGroupId, BS_GROUPBOX, 0, 0, 135, 40),
        DialogItem(WC_BUTTON, L"-", kPlannerEarlierId, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 7, 10, 13, 14),
        DialogItem(TRACKBAR_CLASS, L"", kPlannerSliderId, TBS_AUTOTICKS | WS_TABSTOP, 28, 10, 79, 20),
        Button(L"+", kPlannerLaterId, 113, 10, 13, 14),
        DialogItem(WC_STATIC, L"00:00", kNoId, SS_CENTER, 25, 29, 20, 8),
        DialogItem(WC_STATIC, L"12:00", kNoId, SS_CENTER, 59, 29, 20, 8),
        DialogItem(WC_STATIC, L"00:00", kNoId, SS_CENTER, 91, 29, 20, 8),
        DialogItem(WC_BUTTON, L"Date", kPlannerDateGroupId, BS_GROUPBOX, 0, 41, 135, 25),
        DialogItem(DATETIMEPICK_CLASS, L"", kPlannerDateId, DTS_LONGDATEFORMAT | WS_TABSTOP, 7, 49, 89, 15),
        Button(L"Now", kPlannerNowId, 99, 49, 27, 14),
    };
    ob::ui::RegisterDialog(kTimePlannerTemplate, std::move(panel));
}

void RegisterDialogs() {
    // One HTML viewer filling the dialog; the dialog sizes it to full screen.
    // The viewer draws its own scroll bar.
    DLGTEMPLATE html = FullScreenPage();
    html.items = {
        DialogItem(DISPLAYCLASS, L"", ZEP_Wnd::HtmlDialog::kHtmlControlId, WS_TABSTOP, 0, 0, 136, 156)};
    ob::ui::RegisterDialog(ZEP_Wnd::HtmlDialog::kTemplateId, std::move(html));

    DLGTEMPLATE about = FullScreenPage(L"About Orbelline");
    const std::wstring title = std::wstring(L"Orbelline ") + ProgramVersion();
    about.items = {
        DialogItem(L"STATIC", title.c_str(), kAboutTitleId, SS_CENTER, 2, 4, 132, 10),
        DialogItem(
            L"STATIC",
            L"A world clock: local times, dialling codes, distances, sunrise and sunset, and the weather, "
            L"for the cities you choose.\n\n"
            L"City positions contain data from GeoNames (geonames.org), CC BY 4.0. Dialling codes derive "
            L"from Google's libphonenumber, Apache 2.0. Airport codes were checked against OpenFlights "
            L"data (openflights.org), ODbL 1.0. People names from world-countries, ODbL 1.0. Country codes "
            L"from Debian's iso-codes, LGPL 2.1 or later. World map pictures: NASA Visible Earth.\n"
            L"Weather data by Open-Meteo.com, CC BY 4.0.",
            kAboutTextId, SS_LEFT, 4, 18, 128, 134),
    };
    ob::ui::RegisterDialog(kAboutBoxTemplate, std::move(about));
    RegisterCityDialogs();
    RegisterTimePlannerPanel();
}

}  // namespace

const wchar_t* ProgramVersion() { return L"1.0.0"; }

void RegisterResources() {
    for (const auto& [id, text] : kStrings)
        ob::ui::RegisterString(id, text);
    RegisterMenus();
    RegisterDialogs();
    RegisterNearbyOptionsFieldsTemplates();
    for (std::size_t i = 0; i < kEmbeddedFileCount; ++i) {
        const EmbeddedFile& file = kEmbeddedFiles[i];
        if (!file.bytes)
            continue;
        std::vector<std::uint8_t> bytes(file.bytes, file.bytes + file.size);
        if (std::wstring(file.type) == L"BITMAP")
            ob::ui::RegisterBitmap(file.id, std::move(bytes));
        else
            ob::ui::RegisterData(file.type, file.id, std::move(bytes));
    }
}

}  // namespace OBResources
