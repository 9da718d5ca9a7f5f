#include "app/OrbellineApp.h"

#include <cstdio>

#include "platform/kernel/WideText.h"

#include "app/AppMainWindow.h"
#include "app/CityGroupListView.h"
#include "app/ViewCommandHandler.h"
#include "data/ReferenceLookup.h"
#include "dialogs/TimePlannerDialog.h"
#include "data/ReferenceTables.h"
#include "model/AppSettings.h"
#include "platform/ui/display/Display.h"
#include "resources/Resources.h"
#include "weather/DownloaderControl.h"
#include "wnd/FrameWindow.h"
#include "wnd/Library.h"
#include "wnd/MessageWindow.h"
#include "wnd/NotifyWindowHost.h"

namespace {
constexpr UINT kRemakeMessage = WM_APP + 1;
constexpr UINT_PTR kRetryTimer = 1;
constexpr UINT kRetryMs = 100;
}  // namespace

// A hidden window through which a density change remakes the main window
// from the message loop, not from inside the resize that caused it; while
// something is open over the main window it tries again on a timer.
class DensityWatcher : public ZEP_Wnd::MessageWindow {
public:
    explicit DensityWatcher(OrbellineApp& app) : m_app(app) {}

    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message != kRemakeMessage)
            return MessageWindow::OnMessage(message, wParam, lParam, result);
        if (!m_app.RemakeMainWindowWhenFree())
            ::SetTimer(m_hwnd, kRetryTimer, kRetryMs, nullptr);
        return true;
    }
    bool OnTimer(UINT_PTR id) override {
        if (id == kRetryTimer && m_app.RemakeMainWindowWhenFree())
            ::KillTimer(m_hwnd, kRetryTimer);
        return true;
    }

private:
    OrbellineApp& m_app;
};

OrbellineApp::OrbellineApp() { SetSingleInstance(true); }

OrbellineApp::~OrbellineApp() {
    ob::ui::SetDensityChangeHandler(nullptr);
    if (m_densityWatcher && m_densityWatcher->GetHandle())
        m_densityWatcher->Destroy();
    SetSettingsSaveObserver(nullptr);
}

void OrbellineApp::OnDensityChanged() {
    if (m_densityWatcher && m_densityWatcher->GetHandle())
        ::PostMessage(m_densityWatcher->GetHandle(), kRemakeMessage, 0, 0);
}

bool OrbellineApp::RemakeMainWindowWhenFree() {
    if (!m_appMainWindow || !m_appMainWindow->GetHandle() || m_appMainWindow->IsClosing())
        return true;
    // A dialog or message box disables the main window while it is open; a
    // menu holds the pen. Either keeps its old layout until it ends.
    if (!::IsWindowEnabled(m_appMainWindow->GetHandle()) || ::GetCapture())
        return false;
    auto* view = dynamic_cast<OBControls::CityGroupListView*>(m_appMainWindow->GetActiveView());
    OBControls::CityGroupListCtrl* list = view ? view->GetListControl() : nullptr;
    const int row = list ? list->GetSelectedRow() : -1;
    const TimePlannerDialog* panel = m_appMainWindow->GetPlannerView().GetPanel();
    const ZEP_Utility::DateTime plannerTime = panel ? panel->GetInstant() : ZEP_Utility::DateTime();
    // The old window's end is no end of the program.
    SetMainWindow(nullptr);
    m_appMainWindow->Destroy();
    m_appMainWindow.reset();
    if (!MakeMainWindow(false)) {
        ::PostQuitMessage(1);
        return true;
    }
    view = dynamic_cast<OBControls::CityGroupListView*>(m_appMainWindow->GetActiveView());
    list = view ? view->GetListControl() : nullptr;
    if (list && row >= 0 && row < list->GetCityCount())
        list->SelectRow(row);
    // The planner shows the instant it showed.
    if (TimePlannerDialog* again = m_appMainWindow->GetPlannerView().GetPanel();
        again && !plannerTime.IsEmpty())
        if (const int position = again->GetSliderPositionFor(plannerTime); position >= 0)
            again->ApplySlider(position, true);
    return true;
}

bool OrbellineApp::MakeMainWindow(bool askForHomeCity) {
    m_appMainWindow = std::make_unique<AppMainWindow>(&GetCityGroup());
    m_appMainWindow->SetAskForHomeCity(askForHomeCity);
    if (!m_appMainWindow->CreateMainWindow(ZEP_Wnd::DefaultWindowRect()))
        return false;
    SetMainWindow(m_appMainWindow.get());
    m_appMainWindow->ShowWindow(SW_SHOWNORMAL);
    m_appMainWindow->UpdateWindow();
    return true;
}

void OrbellineApp::OnSettingsSaved(bool ok, const std::wstring& problem) {
    m_lastSaveFailed = !ok;
    if (ok) {
        m_lastProblem.clear();
        return;
    }
    if (problem != m_lastProblem)
        std::fprintf(stderr, "orbelline: the settings could not be saved: %s\n",
                     ob::kernel::ToUtf8(problem).c_str());
    m_lastProblem = problem;
    // A box while the windows are being destroyed (or after) has no owner
    // and would hold up the end; standard error and the exit status say it.
    const HWND owner = m_appMainWindow ? m_appMainWindow->GetHandle() : nullptr;
    if (m_userTold || !owner || m_appMainWindow->IsClosing())
        return;
    m_userTold = true;
    const std::wstring text =
        L"Your settings could not be saved, so changes made now may be lost when "
        L"Orbelline ends.\n\n" +
        problem;
    const std::wstring caption = ZEP_Wnd::LoadString(OBResources::kProgramName);
    ::MessageBox(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

bool OrbellineApp::InitInstance() {
    OBResources::RegisterResources();
    // The downloader runs on its own (started below); whether it started
    // changes nothing here but what the weather view says.
    OBWeather::ScopeDownloaderToDataFolder();
    // Folder changes (forecast files replaced) arrive on the message loop.
    static ZEP_Wnd::NotifyWindowHost notifyHost;
    if (!ZEP_IO::GetNotifyWindowHost())
        ZEP_IO::SetNotifyWindowHost(&notifyHost);
    // The device's component library needs no start here: the XML layer
    // stands on its own.
    OBData::LoadReferenceTables();
    SetSettingsSaveObserver([this](bool ok, const std::wstring& problem) { OnSettingsSaved(ok, problem); });
    m_settingsRead = LoadSettingsFile();
    ReadSettings();
    if (m_startView >= 0)
        GetAppSettings().SetTab(m_startView);
    // On a desktop the window opens where the user left it, and the screen
    // takes its size before the main window is laid out on it.
    const WindowPlace kept = GetAppSettings().GetWindowPlace();
    ob::ui::ShowDesktopWindow(ob::ui::WindowPlacement{kept.x, kept.y, kept.width, kept.height});

    if (!MakeMainWindow(m_askForHomeCity))
        return false;
    // The desktop keyboard: Ctrl+1, 2 and 3 for the views, Ctrl+C for City >
    // Copy, Ctrl+Q for Exit.
    const ACCEL keys[] = {{FVIRTKEY | FCONTROL, '1', kCmdViewMap},
                          {FVIRTKEY | FCONTROL, '2', kCmdViewPlanner},
                          {FVIRTKEY | FCONTROL, '3', kCmdViewWeather},
                          {FVIRTKEY | FCONTROL, 'C', OBControls::kCmdCopy},
                          {FVIRTKEY | FCONTROL, 'Q', kCmdExit}};
    SetAccelerators(keys, static_cast<int>(sizeof keys / sizeof keys[0]));
    m_densityWatcher = std::make_unique<DensityWatcher>(*this);
    if (m_densityWatcher->Create(nullptr, L"density"))
        ob::ui::SetDensityChangeHandler([this] { OnDensityChanged(); });
    // The downloader starts once the first screen is on the desktop: its
    // start waits for the new process, and nothing shown so far needs it.
    if (m_startDownloader) {
        ob::ui::PaintScreenNow();
        // One that cannot be started is said at once in the weather view.
        if (!OBWeather::LaunchDownloader())
            m_appMainWindow->GetWeatherView().OnTimerTick();
    }
    return true;
}

int OrbellineApp::ExitInstance() {
    if (GetAppSettings().GetWeatherKillDownloader())
        OBWeather::StopDownloader();
    m_appMainWindow.reset();
    OBData::ReleaseReferenceData();
    const int code = App::ExitInstance();
    return code == 0 && m_lastSaveFailed ? 1 : code;
}
