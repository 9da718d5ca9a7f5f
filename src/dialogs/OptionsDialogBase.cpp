#include "dialogs/OptionsDialogBase.h"

#include <vector>

#include "model/AppSettings.h"
#include "platform/ui/Controls.h"
#include "resources/Resources.h"
#include "wnd/Library.h"

namespace OBControls {

namespace {

// The entries of each list by string id, in list order. The log level runs
// from full logging (0) to critical errors only (5).
const std::vector<UINT> kListStrings[OptionsDialogBase::kListCount] = {
    {OBResources::kAmPmText, OBResources::k24HourText},
    {OBResources::kKilometresText, OBResources::kMilesText, OBResources::kNauticalMilesText},
    {OBResources::kCelsiusText, OBResources::kFahrenheitText},
    {OBResources::kLogFullText, OBResources::kLogDetailText, OBResources::kLogInformationText,
     OBResources::kLogWarningsText, OBResources::kLogErrorsText, OBResources::kLogCriticalText},
};

struct CheckBoxSetting {
    int id;
    bool (AppSettings::*get)();
    void (AppSettings::*set)(bool);
};

const CheckBoxSetting kCheckBoxes[] = {
    {OBResources::kOptionsShadowId, &AppSettings::GetShadow, &AppSettings::SetShadow},
    {OBResources::kOptionsTwilightId, &AppSettings::GetMapTwilight, &AppSettings::SetMapTwilight},
    {OBResources::kOptionsMapTwoLinesId, &AppSettings::GetCityViewExtraInfo,
     &AppSettings::SetCityViewExtraInfo},
    {OBResources::kOptionsPlannerTwoLinesId, &AppSettings::GetPlannerViewExtraInfo,
     &AppSettings::SetPlannerViewExtraInfo},
    {OBResources::kOptionsOnCradleId, &AppSettings::GetWeatherUseCradle, &AppSettings::SetWeatherUseCradle},
    {OBResources::kOptionsOnWifiId, &AppSettings::GetWeatherUseNetwork, &AppSettings::SetWeatherUseNetwork},
    {OBResources::kOptionsOnDataCallId, &AppSettings::GetWeatherUsePhone, &AppSettings::SetWeatherUsePhone},
    {OBResources::kOptionsOnlyWhileRunningId, &AppSettings::GetWeatherKillDownloader,
     &AppSettings::SetWeatherKillDownloader},
};

int StoredValue(AppSettings& settings, int list) {
    switch (list) {
    case OptionsDialogBase::kTimeFormatList: return settings.GetMainTimeFormat();
    case OptionsDialogBase::kDistanceUnitsList: return settings.GetUnits();
    case OptionsDialogBase::kTemperatureUnitsList: return settings.GetTemperatureUnits();
    default: return settings.GetLogLevel();
    }
}

}  // namespace

OptionsDialogBase::OptionsDialogBase(HWND parent) : ScrollingDialog(OBResources::kOptionsTemplate, parent) {}

bool OptionsDialogBase::OnInitDialog() {
    Dialog::OnInitDialog();
    AppSettings& settings = GetAppSettings();
    for (int list = 0; list < kListCount; ++list) {
        const std::vector<UINT>& strings = kListStrings[list];
        for (UINT id : strings)
            AddListString(list, ZEP_Wnd::LoadString(id));
        // A value the list does not hold (a hand-edited file) shows as the first entry.
        const int value = StoredValue(settings, list);
        SetListSelection(list, value >= 0 && value < static_cast<int>(strings.size()) ? value : 0);
    }
    for (const CheckBoxSetting& box : kCheckBoxes) {
        ::CheckDlgButton(m_hwnd, box.id, (settings.*box.get)() ? BST_CHECKED : BST_UNCHECKED);
        // The boxes say when they take the focus, so that the page can scroll to them.
        const HWND control = ::GetDlgItem(m_hwnd, box.id);
        ::SetWindowLong(control, GWL_STYLE, ::GetWindowLong(control, GWL_STYLE) | BS_NOTIFY);
    }
    m_scroller.Update(m_hwnd);
    return true;
}

void OptionsDialogBase::OnOK() {
    AppSettings& settings = GetAppSettings();
    settings.SetMainTimeFormat(GetListSelection(kTimeFormatList));
    settings.SetUnits(GetListSelection(kDistanceUnitsList));
    settings.SetTemperatureUnits(GetListSelection(kTemperatureUnitsList));
    for (const CheckBoxSetting& box : kCheckBoxes)
        (settings.*box.set)(::IsDlgButtonChecked(m_hwnd, box.id) == BST_CHECKED);
    settings.SetLogLevel(GetListSelection(kLogLevelList));
    SaveAllSettings();
    Dialog::OnOK();
}

}  // namespace OBControls
