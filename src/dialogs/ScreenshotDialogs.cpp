#include "dialogs/ScreenshotDialogs.h"

#include "app/AppMainWindow.h"
#include "data/City.h"
#include "dialogs/NearbyCitiesDialog.h"
#include "dialogs/SelectHomeCityDialog.h"
#include "model/CityGroup.h"

namespace OBScreenshot {
namespace {

void SendCommand(AppMainWindow& mainWindow, UINT id) { mainWindow.SendMessage(WM_COMMAND, id, 0); }

OBControls::CityGroupListCtrl* ShownList(AppMainWindow& mainWindow) {
    auto* view = dynamic_cast<OBControls::CityGroupListView*>(mainWindow.GetActiveView());
    return view ? view->GetListControl() : nullptr;
}

// The cities around the selected one.
void OpenNearby(AppMainWindow& mainWindow) {
    OBControls::CityGroupListCtrl* list = ShownList(mainWindow);
    if (const OBData::City* city = list ? list->GetSelectedCity() : nullptr)
        NearbyCitiesDialog(city->GetPosition(), mainWindow.GetHandle()).DoModal();
}

// One line per dialog: its name on the command line and how it opens.
const DialogEntry kEntries[] = {
    {"cities", [](AppMainWindow& w) { SendCommand(w, kCmdChangeCities); }},
    {"home", [](AppMainWindow& w) { SelectHomeCityDialog(w.GetHandle()).DoModal(); }},
    {"info", [](AppMainWindow& w) { SendCommand(w, OBControls::kCmdCityInformation); }},
    {"nearby", OpenNearby},
    {"options", [](AppMainWindow& w) { SendCommand(w, kCmdOptions); }},
    {"fields", [](AppMainWindow& w) { SendCommand(w, OBControls::kCmdChangeFields); }},
    {"weather", [](AppMainWindow& w) { SendCommand(w, OBControls::kCmdWeatherDetail); }},
    {"about", [](AppMainWindow& w) { SendCommand(w, kCmdAbout); }},
};

}  // namespace

std::span<const DialogEntry> GetDialogEntries() { return kEntries; }

const DialogEntry* FindDialogEntry(std::string_view name) {
    for (const DialogEntry& entry : kEntries)
        if (entry.name == name)
            return &entry;
    return nullptr;
}

std::string DialogNames() {
    std::string names;
    for (const DialogEntry& entry : kEntries)
        names += (names.empty() ? "" : ", ") + std::string(entry.name);
    return names;
}

bool SelectRow(AppMainWindow& mainWindow, int row) {
    OBControls::CityGroupListCtrl* list = ShownList(mainWindow);
    const OBData::CityGroup* group = list ? list->GetCityGroup() : nullptr;
    if (!group || row < 0 || row >= group->GetCount())
        return false;
    list->SelectRow(row);
    return true;
}

}  // namespace OBScreenshot
