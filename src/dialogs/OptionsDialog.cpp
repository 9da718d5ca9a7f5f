#include "dialogs/OptionsDialog.h"

OptionsDialog::OptionsDialog(HWND parent) : OptionsDialogBase(parent) {}

void OptionsDialog::BindControls(bool attach) {
    for (int list = 0; list < kListCount; ++list) {
        if (attach)
            m_lists[list].AttachDlgItem(m_hwnd, kFirstListId + list);
        else
            m_lists[list].Unsubclass();
    }
}

int OptionsDialog::GetListSelection(int list) { return m_lists[list].GetCurSel(); }

void OptionsDialog::SetListSelection(int list, int index) { m_lists[list].SetCurSel(index); }

void OptionsDialog::AddListString(int list, const std::wstring& text) { m_lists[list].AddString(text); }
