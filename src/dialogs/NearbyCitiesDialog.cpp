#include "dialogs/NearbyCitiesDialog.h"

#include "data/City.h"
#include "data/Country.h"
#include "data/ReferenceLookup.h"
#include "platform/ui/Shell.h"
#include "dialogs/ListDialogLayout.h"
#include "resources/Resources.h"

namespace {

// Four digits hold every count the gazetteer can fill and keep the number
// far from overflowing.
constexpr int kCountDigits = 4;

}  // namespace

NearbyCitiesDialog::NearbyCitiesDialog(const OBData::Position& centre, HWND parent)
    : Dialog(OBResources::kNearbyCitiesTemplate, parent), m_centre(centre) {}

int NearbyCitiesDialog::GetChosenCities(std::vector<OBData::City*>& cities) const {
    cities = m_chosen;
    return static_cast<int>(cities.size());
}

void NearbyCitiesDialog::BindControls(bool attach) {
    if (attach)
        m_list.AttachDlgItem(m_hwnd, kListId);
    else
        m_list.Unsubclass();
}

bool NearbyCitiesDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    OBControls::FitListToClient(m_hwnd, kListId);
    m_list.InsertColumn(0, L"City");
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    m_candidates.clear();
    OBData::FindNearestCities(m_centre, m_candidates);
    m_nearby = GetAppSettings().GetNearby();
    SendDlgItemMessage(kCountId, EM_LIMITTEXT, kCountDigits);
    ::SetDlgItemInt(m_hwnd, kCountId, static_cast<UINT>(m_nearby.cityCount), FALSE);
    FillList();
    UpdateButtons();
    return true;
}

void NearbyCitiesDialog::FillList() {
    const HCURSOR previous = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    m_list.SetRedraw(false);
    m_list.DeleteAllItems();
    int row = 0;
    for (std::size_t i = 0; i < m_candidates.size(); ++i) {
        const OBData::NearestCity& candidate = m_candidates[i];
        if (m_nearby.byDistance) {
            if (candidate.distance.InUnits(OBData::kKilometres) > m_nearby.distanceKm)
                break;
        } else if (static_cast<long long>(i) >= m_nearby.cityCount) {
            break;
        }
        const OBData::City* city = OBData::GetCity(candidate.cityId);
        if (!city)
            continue;
        const OBData::Country* country = city->GetCountry();
        const std::wstring text =
            city->GetDisplayName() + L"; " + (country ? country->GetDisplayName() : L"");
        m_list.InsertItem(row++, text, 0, candidate.cityId);
    }
    m_list.SetColumnWidth(0, LVSCW_AUTOSIZE);
    m_list.SetRedraw(true);
    m_list.Invalidate();
    ::SetCursor(previous);
}

int NearbyCitiesDialog::ReadCount() const {
    BOOL translated = FALSE;
    const UINT value = ::GetDlgItemInt(m_hwnd, kCountId, &translated, FALSE);
    return translated ? static_cast<int>(value) : 0;
}

void NearbyCitiesDialog::UpdateButtons() {
    ::EnableWindow(GetDlgItem(kUpdateId), ReadCount() > 0);
    ::EnableWindow(GetDlgItem(IDOK), m_list.GetSelectedCount() > 0);
}

void NearbyCitiesDialog::OnUpdate() {
    const int count = ReadCount();
    if (count <= 0 || count == m_nearby.cityCount)
        return;
    m_nearby.cityCount = count;
    GetAppSettings().SetNearby(m_nearby);
    FillList();
    UpdateButtons();
}

void NearbyCitiesDialog::OnOK() {
    // "Add" is greyed while no row is selected; the Done button is not, and
    // ends the dialog with nothing chosen.
    m_chosen.clear();
    for (int row = m_list.GetNextItem(-1, LVNI_SELECTED); row >= 0;
         row = m_list.GetNextItem(row, LVNI_SELECTED)) {
        if (OBData::City* city = OBData::GetCity(static_cast<std::int32_t>(m_list.GetItemData(row))))
            m_chosen.push_back(city);
    }
    Dialog::OnOK();
}

bool NearbyCitiesDialog::OnCommand(const CommandParams& command) {
    const int id = static_cast<int>(command.id);
    const UINT code = command.code;
    if (id == kUpdateId && code == BN_CLICKED) {
        OnUpdate();
        return true;
    }
    if (id != kCountId)
        return false;
    if (code == EN_CHANGE)
        UpdateButtons();
    else if (code == EN_SETFOCUS)
        ::SHSipPreference(m_hwnd, SIP_UP);
    else if (code == EN_KILLFOCUS)
        ::SHSipPreference(m_hwnd, SIP_DOWN);
    return code == EN_CHANGE || code == EN_SETFOCUS || code == EN_KILLFOCUS;
}

bool NearbyCitiesDialog::OnSize(SIZE) {
    OBControls::FitListToClient(m_hwnd, kListId);
    return false;
}

bool NearbyCitiesDialog::OnNotify(const NMHDR& header, LRESULT&) {
    if (static_cast<int>(header.idFrom) != kListId || header.code != LVN_ITEMCHANGED)
        return false;
    UpdateButtons();
    return true;
}
