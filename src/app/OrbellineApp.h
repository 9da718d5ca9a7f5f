// The application object: start-up (downloader, tables, settings, main
// window) and shut-down in their fixed orders.
#pragma once

#include <memory>
#include <string>

#include "wnd/App.h"

class AppMainWindow;
class DensityWatcher;

class OrbellineApp : public ZEP_Wnd::App {
public:
    OrbellineApp();
    ~OrbellineApp() override;

    bool InitInstance() override;
    int ExitInstance() override;

    AppMainWindow* GetAppMainWindow() const { return m_appMainWindow.get(); }
    // Whether start-up found a settings file to read.
    bool SettingsFileWasRead() const { return m_settingsRead; }
    // Whether InitInstance starts the downloader (tests turn it off).
    void SetStartDownloader(bool on) { m_startDownloader = on; }
    // Opens on this view (0 to 2) instead of the stored one, without storing
    // it; -1: the stored view.
    void SetStartView(int index) { m_startView = index; }
    // Whether the main window asks for a home city when there is none (the
    // screenshot mode does not ask).
    void SetAskForHomeCity(bool on) { m_askForHomeCity = on; }

    // Whether the most recent settings save failed; the exit status is 1
    // when the one at exit did.
    bool LastSaveFailed() const { return m_lastSaveFailed; }

    // The screen took another density: the main window and its views are
    // made again at it once nothing (a dialog, a message box, a menu) is open
    // over them, with the same view, the same city selected and the same
    // instant in the planner.
    void OnDensityChanged();
    // Remakes them now when nothing is open over them; false: not yet.
    bool RemakeMainWindowWhenFree();

private:
    // The main window with its views, menu bar and keys, shown.
    bool MakeMainWindow(bool askForHomeCity);
    // Says why a save failed: on standard error each time the reason
    // changes, and once a session in a message box while the window is up.
    void OnSettingsSaved(bool ok, const std::wstring& problem);

    std::unique_ptr<AppMainWindow> m_appMainWindow;
    std::unique_ptr<DensityWatcher> m_densityWatcher;
    bool m_lastSaveFailed = false;
    bool m_userTold = false;
    std::wstring m_lastProblem;
    bool m_settingsRead = false;
    bool m_startDownloader = true;
    int m_startView = -1;
    bool m_askForHomeCity = true;
};
