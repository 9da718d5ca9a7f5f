#include "dialogs/PickCitiesDialog.h"

#include <algorithm>

#include "data/City.h"
#include "data/ReferenceLookup.h"
#include "resources/Resources.h"

namespace {
const std::wstring kHomeMark = L" [HOME]";
}

PickCitiesDialog::PickCitiesDialog(HWND parent, const OBData::CityGroup& cities)
    : CountryCityDialog(OBResources::kPickCitiesTemplate, parent, kFindId, kCountriesId, kCitiesId),
      m_group(cities) {}

void PickCitiesDialog::GetCityGroup(OBData::CityGroup& cities) const { cities.Assign(m_group); }

void PickCitiesDialog::BindControls(bool attach) {
    CountryCityDialog::BindControls(attach);
    if (attach)
        m_selected.AttachDlgItem(m_hwnd, kSelectedId);
    else
        m_selected.Unsubclass();
}

bool PickCitiesDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    FitToClient({kCitiesId, kSelectedId});
    FillCountries();
    if (const OBData::City* home = m_group.GetHomeCity())
        ShowCity(*home, false);
    else
        FillCities();
    for (const OBData::City* city : m_group.GetCities()) {
        const int at = m_selected.AddString(city->GetDisplayName());
        if (at >= 0)
            m_selected.SetItemData(at, city->GetId());
    }
    if (m_group.GetCount() > 0)
        MarkHome(0);
    UpdateButtons();
    FocusFindBox();
    return false;
}

void PickCitiesDialog::TakeHighlighted() { Add(); }

void PickCitiesDialog::OnCitiesChanged() { UpdateButtons(); }

void PickCitiesDialog::OnOK() {
    m_group.Clear();
    for (int i = 0; i < m_selected.GetCount(); ++i)
        m_group.AddCity(static_cast<int>(m_selected.GetItemData(i)));
    Dialog::OnOK();
}

void PickCitiesDialog::UpdateButtons() {
    const int current = m_selected.GetCurSel();
    const int count = m_selected.GetCount();
    const bool anyChosen = m_cities.SendMessage(LB_GETSELCOUNT) > 0;
    ::EnableWindow(GetDlgItem(kAddId), anyChosen);
    ::EnableWindow(GetDlgItem(kRemoveId), current >= 0);
    ::EnableWindow(GetDlgItem(kSetHomeId), current > 0);
    ::EnableWindow(GetDlgItem(kUpId), current > 0);
    ::EnableWindow(GetDlgItem(kDownId), current < count - 1);
}

// Moves item `index` to the top as the home city; the old home loses its mark.
void PickCitiesDialog::MarkHome(int index) {
    if (index > 0) {
        std::wstring text = m_selected.GetText(0);
        const LPARAM data = m_selected.GetItemData(0);
        const std::size_t mark = text.find(kHomeMark);
        if (mark != std::wstring::npos)
            text.erase(mark);
        m_selected.DeleteString(0);
        m_selected.SetItemData(m_selected.InsertString(0, text), data);
    }
    const std::wstring text = m_selected.GetText(index) + kHomeMark;
    const LPARAM data = m_selected.GetItemData(index);
    m_selected.DeleteString(index);
    m_selected.SetItemData(m_selected.InsertString(0, text), data);
}

int PickCitiesDialog::IndexOfId(int id) const {
    for (int i = 0; i < m_selected.GetCount(); ++i)
        if (m_selected.GetItemData(i) == id)
            return i;
    return -1;
}

void PickCitiesDialog::AddToSelected(int id, const std::wstring& text, int position) {
    if (IndexOfId(id) >= 0)
        return;
    const int at = m_selected.InsertString(position, text);
    if (at < 0)
        return;
    m_selected.SetItemData(at, id);
    if (at == 0)
        MarkHome(0);
}

void PickCitiesDialog::RemoveAt(int index) {
    if (index < 0)
        return;
    m_selected.DeleteString(index);
    const int count = m_selected.GetCount();
    // Without its home the list's next city takes the place.
    if (index == 0 && count > 0)
        MarkHome(0);
    const int next = std::min(index, count - 1);
    if (next >= 0)
        m_selected.SetCurSel(next);
    UpdateButtons();
}

void PickCitiesDialog::Move(int from, int to) {
    const int count = m_selected.GetCount();
    if (from < 0 || to < 0 || from == to || to >= count)
        return;
    if (to == 0) {
        MarkHome(from);
    } else {
        if (from == 0) {
            // The second city becomes home and the old home comes second.
            MarkHome(1);
            from = 1;
        }
        if (to != from) {
            const std::wstring text = m_selected.GetText(from);
            const auto id = static_cast<int>(m_selected.GetItemData(from));
            RemoveAt(from);
            AddToSelected(id, text, to);
        }
    }
    m_selected.SetCurSel(to);
    UpdateButtons();
}

// The highlighted cities go to the end of the list, under their own names
// (a found one reads "Tokyo, Japan" above); the last of them, or the one
// already there, is selected and shown.
void PickCitiesDialog::Add() {
    int shown = -1;
    for (int i = 0; i < m_cities.GetCount(); ++i) {
        if (!m_cities.GetSel(i))
            continue;
        const auto id = static_cast<int>(m_cities.GetItemData(i));
        if (const OBData::City* city = OBData::GetCity(id)) {
            AddToSelected(id, city->GetDisplayName(), -1);
            shown = IndexOfId(id);
        }
        m_cities.SetSel(i, false);
    }
    if (shown >= 0)
        m_selected.SetCurSel(shown);
    UpdateButtons();
}

bool PickCitiesDialog::OnCommand(const CommandParams& command) {
    const int id = static_cast<int>(command.id);
    const UINT code = command.code;
    const int current = m_selected.GetCurSel();
    switch (id) {
    case kSelectedId:
        if (code != LBN_SELCHANGE)
            return false;
        UpdateButtons();
        return true;
    case kAddId:
        if (code != BN_CLICKED)
            return false;
        Add();
        return true;
    case kRemoveId:
        if (code != BN_CLICKED)
            return false;
        RemoveAt(current);
        return true;
    case kSetHomeId:
        if (code != BN_CLICKED)
            return false;
        if (current > 0) {
            MarkHome(current);
            m_selected.SetCurSel(0);
            UpdateButtons();
        }
        return true;
    case kUpId:
        if (code != BN_CLICKED)
            return false;
        Move(current, current - 1);
        return true;
    case kDownId:
        if (code != BN_CLICKED)
            return false;
        Move(current, current + 1);
        return true;
    default: return CountryCityDialog::OnCommand(command);
    }
}
