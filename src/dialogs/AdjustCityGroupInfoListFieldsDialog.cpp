#include "dialogs/AdjustCityGroupInfoListFieldsDialog.h"

#include <algorithm>
#include <vector>

#include "app/CityGroupInfoList.h"
#include "dialogs/ListDialogLayout.h"
#include "resources/Resources.h"

namespace OBControls {

AdjustCityGroupInfoListFieldsDialog::AdjustCityGroupInfoListFieldsDialog(HWND parent,
                                                                         CityGroupInfoList* infoList)
    : Dialog(OBResources::kChangeFieldsTemplate, parent), m_infoList(infoList) {}

void AdjustCityGroupInfoListFieldsDialog::BindControls(bool attach) {
    if (attach) {
        m_fields.AttachDlgItem(m_hwnd, kFieldListId);
        m_moveUp.AttachDlgItem(m_hwnd, kMoveUpId);
        m_moveDown.AttachDlgItem(m_hwnd, kMoveDownId);
    } else {
        m_fields.Unsubclass();
        m_moveUp.Unsubclass();
        m_moveDown.Unsubclass();
    }
}

bool AdjustCityGroupInfoListFieldsDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    OBControls::FitListToClient(m_hwnd, kFieldListId);
    if (m_infoList) {
        const CityInfoFieldSet fields = m_infoList->GetFieldSet();
        const auto& definitions = fields.GetDefinitions();
        const std::vector<int>& selected = fields.GetSelectedFields();
        int row = 0;
        for (int index : selected)
            m_fields.InsertItem(row++, definitions[static_cast<std::size_t>(index)].name, 1, index);
        for (int index = 0; index < static_cast<int>(definitions.size()); ++index) {
            if (std::find(selected.begin(), selected.end(), index) == selected.end())
                m_fields.InsertItem(row++, definitions[static_cast<std::size_t>(index)].name, 0, index);
        }
    }
    UpdateButtons();
    return true;
}

void AdjustCityGroupInfoListFieldsDialog::UpdateButtons() {
    const int selected = m_fields.GetNextItem(-1, LVNI_SELECTED);
    const int count = m_fields.GetItemCount();
    m_moveUp.EnableWindow(selected > 0);
    m_moveDown.EnableWindow(selected >= 0 && selected < count - 1);
}

void AdjustCityGroupInfoListFieldsDialog::MoveRow(int from, int to) {
    const int count = m_fields.GetItemCount();
    if (from < 0 || to < 0 || from >= count || to >= count || from == to)
        return;
    const std::wstring text = m_fields.GetItemText(from);
    const int check = m_fields.GetCheck(from);
    const LPARAM field = m_fields.GetItemData(from);
    m_fields.SetRedraw(false);
    // The copy goes in first, so the old row is found below it when moving up.
    const int at = to > from ? to + 1 : to;
    const int inserted = m_fields.InsertItem(at, text, check, field);
    m_fields.SetItemState(inserted, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_fields.DeleteItem(to > from ? from : from + 1);
    m_fields.EnsureVisible(to);
    m_fields.SetRedraw(true);
    m_fields.Invalidate();
    UpdateButtons();
}

void AdjustCityGroupInfoListFieldsDialog::OnOK() {
    std::vector<int> chosen;
    const int count = m_fields.GetItemCount();
    for (int row = 0; row < count; ++row) {
        if (m_fields.GetCheck(row) == 1)
            chosen.push_back(static_cast<int>(m_fields.GetItemData(row)));
    }
    if (m_infoList)
        m_infoList->SetSelectedFields(chosen);
    Dialog::OnOK();
}

bool AdjustCityGroupInfoListFieldsDialog::OnCommand(const CommandParams& command) {
    const int id = static_cast<int>(command.id);
    if (command.code != BN_CLICKED || (id != kMoveUpId && id != kMoveDownId))
        return false;
    const int selected = m_fields.GetNextItem(-1, LVNI_SELECTED);
    if (selected >= 0)
        MoveRow(selected, selected + (id == kMoveUpId ? -1 : 1));
    return true;
}

bool AdjustCityGroupInfoListFieldsDialog::OnSize(SIZE) {
    OBControls::FitListToClient(m_hwnd, kFieldListId);
    return false;
}

bool AdjustCityGroupInfoListFieldsDialog::OnNotify(const NMHDR& header, LRESULT&) {
    if (static_cast<int>(header.idFrom) != kFieldListId || header.code != LVN_ITEMCHANGED)
        return false;
    UpdateButtons();
    return true;
}

}  // namespace OBControls
