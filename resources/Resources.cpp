#include "resources/Resources.h"

#include <string>
#include <utility>
#include <vector>

#include "platform/ui/Controls.h"
#include "platform/ui/html/HtmlControl.h"
#include "platform/ui/win/ResourceRegistry.h"
#include "resources/DialogTemplates.h"
#include "resources/EmbeddedFiles.h"

namespace OBResources {
namespace {

using ob::ui::MenuBarButton;
using ob::ui::MenuBarResource;
using ob::ui::MenuResource;

// Every text the program shows by number.
const std::pair<unsigned, const wchar_t*> kStrings[] = {
    {16,
     L"You do not have any cities selected.\nClick on the map or select City/Change Cities on the menu to "
     L"choose your cities."},
    {17, L"Add this city"},
    {18, L"City information"},
    {19, L"Show the nearby cities"},
    {20, L"Close the info bar"},
    {21, L"Nearer city"},
    {22, L"Further city"},
    {104, L"View"},
    {1002, L"Dial: "},
    {1003, L"Distance: "},
    {1004, L"Sunrise: "},
    {1005, L"Sunset: "},
    {1007, L"Display previous city info"},
    {1008, L"Display next city info"},
    {1011, L"Summer: "},
    {1015, L"Airport: "},
    {1016, L"Offset: "},
    {1018, L"Sun"},
    {1019, L"Mon"},
    {1020, L"Tue"},
    {1021, L"Wed"},
    {1022, L"Thu"},
    {1023, L"Fri"},
    {1024, L"Sat"},
    {1025, L"Today"},
    {1033, L"Updating..."},
    {1034, L"Orbelline"},
    {1035, L"Are you sure you want to remove %s?"},
    {1036, L"Kilometres"},
    {1037, L"Miles"},
    {1038, L"Nautical miles"},
    {1039, L"AM/PM"},
    {1040, L"24 Hour"},
    {1041, L"Critical errors only"},
    {1042, L"All errors"},
    {1043, L"Warnings and errors"},
    {1044, L"Informational messages"},
    {1045, L"Detailed information"},
    {1046, L"Full logging"},
    {1047, L"Celsius"},
    {1048, L"Fahrenheit"},
    {1049,
     L"This may incur data costs if you are updating on a phone and you're not already connected to the "
     L"internet (eg. via a wireless network).\nAre you sure you want to continue?"},
    {40006, L"File"},
    {40011, L"City"},
    {40015, L"Tools"},
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
    return Popup(L"City", {Item(L"Information...", 44001), Item(L"Weather Detail...", 44005), Separator(),
                           Item(L"Set as Home", 44002), Item(L"Remove", 44003), Item(L"Move Up", 44007),
                           Item(L"Move Down", 44008), Separator(), Item(L"Change Cities...", 40012),
                           Item(L"Change Fields...", 40017), Separator(), Item(L"Copy", 44009)});
}

void RegisterMenus() {
    MenuResource main;
    main.items = {
        Popup(L"File", {Item(L"About Orbelline...", 40003), Separator(), Item(L"Exit\tCtrl+Q", 40007)}),
        Popup(L"View", {Item(L"World Map\tCtrl+1", 40027), Item(L"Time Planner\tCtrl+2", 40028),
                        Item(L"Weather\tCtrl+3", 40032)}),
        CityPopup(),
        Popup(L"Tools", {Item(L"Options...", 40033), Item(L"Update Weather", 44006)}),
    };
    ob::ui::RegisterMenu(kMainMenu, std::move(main));

    MenuBarResource bar;
    bar.menuId = kMainMenu;
    bar.buttons = {{40004, 40006, 0, {}}, {40008, 104, 1, {}}, {40009, 40011, 2, {}}, {40034, 40015, 3, {}}};
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
    constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
    constexpr DWORD kFind = ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;

    DLGTEMPLATE pick = FullScreenPage(L"Change Cities");
    pick.items = {
        DialogItem(WC_STATIC, L"Find:", static_cast<WORD>(-1), SS_LEFT, 4, 5, 32, 8),
        DialogItem(WC_EDIT, L"", 1009, kFind, 36, 3, 96, 12),
        DialogItem(WC_STATIC, L"Country:", static_cast<WORD>(-1), SS_LEFT, 4, 19, 32, 8),
        DialogItem(WC_COMBOBOX, L"", 1001, kCombo, 36, 17, 96, 64),
        // A tap selects one city; Ctrl, Shift or a drag of the pen select several.
        DialogItem(WC_LISTBOX, L"", 1002, kList | LBS_SORT | LBS_EXTENDEDSEL, 4, 31, 128, 34),
        DialogItem(WC_BUTTON, L"Add", 1003, kButton, 4, 67, 44, 12),
        DialogItem(WC_BUTTON, L"Remove", 1004, kButton, 88, 67, 44, 12),
        // Two lines where the screen's font is too wide for one beside "Set as Home".
        DialogItem(WC_STATIC, L"Selected Cities:", static_cast<WORD>(-1), SS_LEFT, 4, 83, 48, 16),
        DialogItem(WC_BUTTON, L"Set as Home", 1006, kButton, 53, 87, 51, 12),
        DialogItem(WC_BUTTON, L"Up", 1007, kButton, 107, 82, 25, 10),
        DialogItem(WC_BUTTON, L"Down", 1008, kButton, 107, 92, 25, 10),
        DialogItem(WC_LISTBOX, L"", 1005, kList, 4, 104, 128, 32),
        DialogItem(WC_BUTTON, L"OK", IDOK, kButton, 4, 140, 48, 12),
        DialogItem(WC_BUTTON, L"Cancel", IDCANCEL, kButton, 84, 140, 48, 12),
    };
    ob::ui::RegisterDialog(kPickCitiesTemplate, std::move(pick));

    DLGTEMPLATE home = FullScreenPage(L"Home City");
    home.items = {
        DialogItem(WC_STATIC, L"Select your home city", static_cast<WORD>(-1), SS_LEFT, 2, 2, 128, 8),
        DialogItem(WC_BUTTON, L"", static_cast<WORD>(-1), BS_GROUPBOX, 2, 11, 132, 9),
        DialogItem(WC_STATIC, L"Find:", static_cast<WORD>(-1), SS_LEFT, 2, 26, 32, 8),
        DialogItem(WC_EDIT, L"", 1037, kFind, 36, 24, 96, 12),
        DialogItem(WC_STATIC, L"Country:", static_cast<WORD>(-1), SS_LEFT, 2, 41, 32, 8),
        DialogItem(WC_COMBOBOX, L"", 1035, kCombo, 36, 39, 96, 64),
        DialogItem(WC_STATIC, L"City:", static_cast<WORD>(-1), SS_LEFT, 2, 56, 32, 8),
        DialogItem(WC_LISTBOX, L"", 1036, kList | LBS_SORT, 2, 65, 132, 70),
        DialogItem(WC_BUTTON, L"OK", IDOK, kButton, 4, 140, 48, 12),
        DialogItem(WC_BUTTON, L"Cancel", IDCANCEL, kButton, 84, 140, 48, 12),
    };
    ob::ui::RegisterDialog(kHomeCityTemplate, std::move(home));
}

// The time planner's panel: a child of the planner view, above its list.
void RegisterTimePlannerPanel() {
    constexpr WORD kNoId = 0xFFFF;
    DLGTEMPLATE panel;
    panel.style = WS_CHILD | DS_SETFONT;
    panel.cx = 135;
    panel.cy = 66;
    panel.items = {
        DialogItem(WC_BUTTON, L"Time", 1017, BS_GROUPBOX, 0, 0, 135, 40),
        DialogItem(WC_BUTTON, L"-", 1013, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 7, 10, 13, 14),
        DialogItem(TRACKBAR_CLASS, L"", 1012, TBS_AUTOTICKS | WS_TABSTOP, 28, 10, 79, 20),
        DialogItem(WC_BUTTON, L"+", 1014, BS_PUSHBUTTON | WS_TABSTOP, 113, 10, 13, 14),
        DialogItem(WC_STATIC, L"00:00", kNoId, SS_CENTER, 25, 29, 20, 8),
        DialogItem(WC_STATIC, L"12:00", kNoId, SS_CENTER, 59, 29, 20, 8),
        DialogItem(WC_STATIC, L"00:00", kNoId, SS_CENTER, 91, 29, 20, 8),
        DialogItem(WC_BUTTON, L"Date", 1030, BS_GROUPBOX, 0, 41, 135, 25),
        DialogItem(DATETIMEPICK_CLASS, L"", 1015, DTS_LONGDATEFORMAT | WS_TABSTOP, 7, 49, 89, 15),
        DialogItem(WC_BUTTON, L"Now", 1016, BS_PUSHBUTTON | WS_TABSTOP, 99, 49, 27, 14),
    };
    ob::ui::RegisterDialog(kTimePlannerTemplate, std::move(panel));
}

void RegisterDialogs() {
    // One HTML viewer filling the dialog; the dialog sizes it to full screen.
    // The viewer draws its own scroll bar.
    DLGTEMPLATE html = FullScreenPage();
    html.items = {DialogItem(DISPLAYCLASS, L"", 30002, WS_TABSTOP, 0, 0, 136, 156)};
    ob::ui::RegisterDialog(kHtmlDialogTemplate, std::move(html));

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
