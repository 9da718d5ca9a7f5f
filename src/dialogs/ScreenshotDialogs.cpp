#include "dialogs/ScreenshotDialogs.h"

#include "app/AppMainWindow.h"
#include "dialogs/SelectHomeCityDialog.h"

namespace OBScreenshot {
namespace {

void SendCommand(AppMainWindow& mainWindow, UINT id) { mainWindow.SendMessage(WM_COMMAND, id, 0); }

// One line per dialog: its name on the command line and how it opens.
const DialogEntry kEntries[] = {
    {"cities", [](AppMainWindow& w) { SendCommand(w, kCmdChangeCities); }},
    {"home", [](AppMainWindow& w) { SelectHomeCityDialog(w.GetHandle()).DoModal(); }},
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

}  // namespace OBScreenshot
