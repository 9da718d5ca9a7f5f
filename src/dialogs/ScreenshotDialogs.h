// The dialogs the screenshot mode can show over the main window
// (--dialog NAME), by name.
#pragma once

#include <span>
#include <string>
#include <string_view>

class AppMainWindow;

namespace OBScreenshot {

struct DialogEntry {
    std::string_view name;
    // Opens the dialog over the started main window. A modal dialog is fine:
    // the picture is taken as soon as it waits for the user.
    void (*open)(AppMainWindow& mainWindow);
};

std::span<const DialogEntry> GetDialogEntries();
// The entry of that name, or null.
const DialogEntry* FindDialogEntry(std::string_view name);
// The names, separated by ", ", for messages.
std::string DialogNames();

// Selects a row of the shown view's city list, for the dialogs that describe
// the selected city. False when the list has no such row.
bool SelectRow(AppMainWindow& mainWindow, int row);

}  // namespace OBScreenshot
