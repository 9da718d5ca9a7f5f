// The dialog templates of the Add City (nearby cities), Options and Change
// Fields dialogs, in dialog units on a 136 x 156 page.
#include "resources/Resources.h"

#include <utility>

#include "resources/DialogTemplates.h"

namespace OBResources {

void RegisterNearbyOptionsFieldsTemplates() {
    DLGTEMPLATE nearby = FullScreenPage(L"Add City");
    nearby.items = {
        Label(L"Show the nearest", 4, 4, 58, 8),
        DialogItem(WC_EDIT, L"", kNearbyCountId,
                   ES_NUMBER | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 4, 12, 20, 12),
        Label(L"cities", 28, 12, 17, 8),
        Button(L"Update", kNearbyUpdateId, 92, 12, 40, 14),
        DialogItem(WC_LISTVIEW, L"", kNearbyListId,
                   LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 4, 32, 128,
                   104),
        Button(L"Add", 1, 4, 140, 48, 12),
        Button(L"Cancel", 2, 84, 140, 48, 12),
    };
    ob::ui::RegisterDialog(kNearbyCitiesTemplate, std::move(nearby));

    DLGTEMPLATE options = FullScreenPage(L"Options");
    options.items = {
        Label(L"Time Format", 2, 3, 66, 8),
        DropDown(kOptionsTimeFormatId, 70, 1, 65, 43),
        Label(L"Distance Units", 2, 16, 66, 8),
        DropDown(kOptionsDistanceUnitsId, 70, 14, 65, 47),
        Label(L"Temperature Units", 2, 29, 66, 8),
        DropDown(kOptionsTemperatureUnitsId, 70, 27, 65, 39),
        CheckBox(L"Map day/night shadow", kOptionsShadowId, 2, 42, 132, 10),
        CheckBox(L"Map twilight bands", kOptionsTwilightId, 2, 53, 132, 10),
        CheckBox(L"Map view 2 line display", kOptionsMapTwoLinesId, 2, 64, 132, 10),
        CheckBox(L"Planner view 2 line display", kOptionsPlannerTwoLinesId, 2, 75, 132, 10),
        Label(L"Auto update weather when:", 2, 88, 132, 8),
        CheckBox(L"Attached to PC", kOptionsOnCradleId, 6, 97, 128, 10),
        CheckBox(L"Connected to WiFi", kOptionsOnWifiId, 6, 108, 128, 10),
        CheckBox(L"GPRS/data call detected", kOptionsOnDataCallId, 6, 119, 128, 10),
        CheckBox(L"Only update weather when Orbelline is running", kOptionsOnlyWhileRunningId, 2, 132, 132,
                 16, BS_MULTILINE),
        Label(L"Weather logging", 2, 152, 56, 8),
        DropDown(kOptionsLogLevelId, 60, 150, 75, 67),
    };
    ob::ui::RegisterDialog(kOptionsTemplate, std::move(options));

    DLGTEMPLATE fields = FullScreenPage(L"Change Fields");
    fields.items = {
        Button(L"Move Up", kFieldsMoveUpId, 16, 4, 49, 12),
        Button(L"Move Down", kFieldsMoveDownId, 69, 4, 47, 12),
        DialogItem(
            WC_LISTVIEW, L"", kFieldsListId,
            LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER | WS_BORDER | WS_TABSTOP, 4,
            20, 128, 116),
        Button(L"OK", 1, 4, 140, 48, 12),
        Button(L"Cancel", 2, 84, 140, 48, 12),
    };
    ob::ui::RegisterDialog(kChangeFieldsTemplate, std::move(fields));
}

}  // namespace OBResources
