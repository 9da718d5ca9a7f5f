// A started program on the headless screen: the real OrbellineApp with its
// main window and views, a settings file beside the test program, and the
// helpers the shell, view and command tests share.
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/AppMainWindow.h"
#include "app/OrbellineApp.h"
#include "data/City.h"
#include "model/AppSettings.h"
#include "platform/kernel/NamedEvent.h"
#include "platform/kernel/WideText.h"
#include "platform/ui/testing/UiDriver.h"
#include "resources/Resources.h"

namespace shelltest {

inline void PressKey(UINT key) {
    ob::ui::InjectKey(key, true);
    ob::ui::InjectKey(key, false);
}

class ShellFixture {
public:
    explicit ShellFixture(const std::string& screen = "240x320") : ui(screen) {
        // The settings file sits beside the test program, so tests that use
        // it take turns across the test processes CTest runs side by side.
        m_lockFd = ::open((Folder() + "/shell-tests.lock").c_str(), O_CREAT | O_RDWR, 0600);
        if (m_lockFd >= 0)
            ::flock(m_lockFd, LOCK_EX);
        ob::kernel::SetNamedObjectScope("shell-test-" + std::to_string(::getpid()));
        std::filesystem::remove(SettingsPath());
    }
    ~ShellFixture() {
        Stop();
        std::filesystem::remove(SettingsPath());
        ob::kernel::SetNamedObjectScope("");
        if (m_lockFd >= 0) {
            ::flock(m_lockFd, LOCK_UN);
            ::close(m_lockFd);
        }
    }

    static std::string Folder() { return std::filesystem::path(SettingsPath()).parent_path().string(); }
    static std::string SettingsPath() { return ob::kernel::ToUtf8(GetSettingsFilePath()); }
    static bool SettingsExist() { return std::filesystem::exists(SettingsPath()); }
    static void RemoveSettings() { std::filesystem::remove(SettingsPath()); }
    static void WriteSettings(const std::string& text) { std::ofstream(SettingsPath()) << text; }
    static std::string ReadSettingsText() {
        std::ifstream in(SettingsPath());
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // The value of one key in the file, or "(none)".
    static std::string StoredValue(const std::string& key) {
        std::istringstream in(ReadSettingsText());
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.rfind(key + ",", 0) == 0)
                return line.substr(key.size() + 1);
        }
        return "(none)";
    }

    // Starts the program as a fresh process would: new settings, the tables,
    // the main window, the loop run until nothing is left to do.
    bool Start() {
        GetAppSettings() = AppSettings();
        app = std::make_unique<OrbellineApp>();
        app->SetStartDownloader(false);
        if (!app->InitInstance())
            return false;
        // Without cities the Home City dialog comes up: a test that does not
        // answer it itself cancels it.
        if (GetCityGroup().GetCount() == 0 && !ui.PendingIdleSteps())
            ui.WhenIdle([] { PressKey(VK_ESCAPE); });
        ui.RunUntilIdle();
        return true;
    }
    // File > Exit, then the rest of the shut-down.
    void Exit() {
        if (!app)
            return;
        if (Main() && Main()->GetHandle())
            Command(kCmdExit);
        app->ExitInstance();
        app.reset();
        // The quit message that ended the loop is not for the next start.
        MSG msg;
        while (::PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        ui.RunUntilIdle();
    }
    void Restart() {
        Exit();
        Start();
    }
    void Stop() { Exit(); }

    AppMainWindow* Main() const { return app ? app->GetAppMainWindow() : nullptr; }
    OBData::CityGroup& Group() { return GetCityGroup(); }
    OBControls::CityGroupListView* ActiveListView() const {
        return dynamic_cast<OBControls::CityGroupListView*>(Main()->GetActiveView());
    }
    OBControls::CityGroupListCtrl* ActiveList() const { return ActiveListView()->GetListControl(); }

    void Command(UINT id) {
        ::SendMessage(Main()->GetHandle(), WM_COMMAND, id, 0);
        ui.RunUntilIdle();
    }
    bool Enabled(UINT id) {
        bool enabled = true, checked = false;
        Main()->UpdateCommandState(id, enabled, checked);
        return enabled;
    }
    bool Checked(UINT id) {
        bool enabled = true, checked = false;
        Main()->UpdateCommandState(id, enabled, checked);
        return checked;
    }
    std::wstring SelectedName() const {
        const OBData::City* city = ActiveList()->GetSelectedCity();
        return city ? city->GetDisplayName() : L"(none)";
    }
    std::wstring NameAt(int row) {
        return Group().GetCities()[static_cast<std::size_t>(row)]->GetDisplayName();
    }

    ob::ui::testing::UiDriver ui;
    std::unique_ptr<OrbellineApp> app;

private:
    int m_lockFd = -1;
};

// Twelve cities of the gazetteer, home first.
inline const char* kTwelveCities = "cities,1;2;3;4;5;6;7;8;9;10;11;12\r\n";

}  // namespace shelltest
