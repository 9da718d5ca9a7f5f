#include "app/AppMainWindow.h"

#include "data/City.h"
#include "data/CityFinder.h"
#include "dialogs/OptionsDialog.h"
#include "dialogs/PickCitiesDialog.h"
#include "dialogs/ScrollingDialog.h"
#include "dialogs/SelectHomeCityDialog.h"
#include "model/AppSettings.h"
#include "model/CityGroup.h"
#include "platform/kernel/MachineZone.h"
#include "platform/ui/Controls.h"
#include "resources/Resources.h"
#include "wnd/Dialog.h"

namespace {

// File > "About Orbelline...": the program, its version, its data and their
// licences. The credits run below a landscape screen, so the page scrolls.
class AboutBox : public OBControls::ScrollingDialog {
public:
    explicit AboutBox(HWND parent) : ScrollingDialog(OBResources::kAboutBoxTemplate, parent) {}

    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        m_scroller.Update(m_hwnd);
        return true;
    }
};

}  // namespace

AppMainWindow::AppMainWindow(OBData::CityGroup* cityGroup)
    : OrbellineMainWindow(cityGroup),
      m_mapView(cityGroup, &m_commandHandler),
      m_plannerView(cityGroup, &m_commandHandler),
      m_weatherView(cityGroup, &m_commandHandler, kNoCitiesTextId) {}

// The views' windows are gone with the main window's; a main window object
// dropped while its window still exists takes the window with it.
AppMainWindow::~AppMainWindow() {
    if (m_hwnd)
        Destroy();
}

bool AppMainWindow::OnCreate(CREATESTRUCT* createInfo) {
    if (!OrbellineMainWindow::OnCreate(createInfo))
        return false;
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_DATE_CLASSES;
    ::InitCommonControlsEx(&icc);
    // The first-run question waits until the window is up and the loop runs.
    if (m_askForHomeCity)
        PostMessage(WM_COMMAND, kCmdFirstRun, 0);
    return true;
}

bool AppMainWindow::UpdateCommandState(UINT id, bool& enabled, bool& checked) {
    return OrbellineMainWindow::UpdateCommandState(id, enabled, checked);
}

bool AppMainWindow::CreateViews(const RECT& clientRect) {
    OBControls::BaseView* views[] = {&m_mapView, &m_plannerView, &m_weatherView};
    for (OBControls::BaseView* view : views) {
        if (!view->Create(m_hwnd, clientRect))
            return false;
        RegisterView(view);
    }
    m_plannerView.GetInfoList().SetImageList(&m_rowImages);
    m_mapView.GetInfoList().SetImageList(&m_rowImages);
    return true;
}

bool AppMainWindow::OnCommand(UINT, UINT id, HWND) {
    switch (id) {
    case kCmdFirstRun: {
        if (m_cityGroup->GetCount() != 0)
            return true;
        int cityId = 0;
        if (ShowHomeCityDialog(cityId) && m_cityGroup->AddCity(cityId) >= 0) {
            if (auto* view = dynamic_cast<OBControls::CityGroupListView*>(m_activeView))
                view->GetListControl()->SetCityGroup(m_cityGroup, true);
        }
        return true;
    }
    case kCmdAbout: ShowAboutBox(); return true;
    case kCmdExit: Close(); return true;
    case kCmdChangeCities: {
        OBData::CityGroup chosen(*m_cityGroup);
        if (!ShowPickCitiesDialog(chosen))
            return true;
        m_cityGroup->Assign(chosen);
        if (m_activeView)
            m_activeView->SaveCities();
        SaveSettingsFile();
        return true;
    }
    case kCmdViewMap: ShowView(0); return true;
    case kCmdViewPlanner: ShowView(1); return true;
    case kCmdViewWeather: ShowView(2); return true;
    case kCmdOptions:
        if (ShowOptionsDialog()) {
            SaveAllSettings();
            for (OBControls::BaseView* view : m_views)
                view->ApplySettings();
        }
        return true;
    default: return false;
    }
}

bool AppMainWindow::ShowHomeCityDialog(int& cityId) {
    // The first start offers the city of the machine's own zone.
    const OBData::City* local =
        OBData::CityForMachine(ob::kernel::MachineTimeZoneName(), ob::kernel::LocaleCountryCode());
    SelectHomeCityDialog dialog(m_hwnd, local);
    if (dialog.DoModal() != IDOK || !dialog.GetChosenCity())
        return false;
    cityId = dialog.GetChosenCity()->GetId();
    return true;
}

bool AppMainWindow::ShowPickCitiesDialog(OBData::CityGroup& cities) {
    PickCitiesDialog dialog(m_hwnd, cities);
    if (dialog.DoModal() != IDOK)
        return false;
    dialog.GetCityGroup(cities);
    return true;
}

bool AppMainWindow::ShowOptionsDialog() {
    OptionsDialog dialog(m_hwnd);
    return dialog.DoModal() == IDOK;
}

void AppMainWindow::ShowAboutBox() {
    AboutBox box(m_hwnd);
    box.DoModal();
}
