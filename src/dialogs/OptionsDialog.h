// Tools > "Options...": the options dialog over the platform's combo boxes.
#pragma once

#include <string>

#include "dialogs/OptionsDialogBase.h"
#include "wnd/Controls.h"

// The Options dialog over the platform's combo boxes.
class OptionsDialog : public OBControls::OptionsDialogBase {
public:
    explicit OptionsDialog(HWND parent);

    void BindControls(bool attach) override;
    int GetListSelection(int list) override;
    void SetListSelection(int list, int index) override;
    void AddListString(int list, const std::wstring& text) override;

private:
    ZEP_Wnd::ComboBox m_lists[kListCount];
};
