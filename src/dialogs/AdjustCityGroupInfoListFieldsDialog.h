// "Change Fields": which pieces of information a city information list steps
// through on its information line, and in which order. All eight fields in
// one check list, the chosen ones first and checked; OK gives the checked
// ones, in list order, to the list.
#pragma once

#include "resources/ResourceIds.h"
#include "wnd/Controls.h"
#include "wnd/Dialog.h"

namespace OBControls {

class CityGroupInfoList;

class AdjustCityGroupInfoListFieldsDialog : public ZEP_Wnd::Dialog {
public:
    static constexpr int kMoveUpId = OBResources::kFieldsMoveUpId;
    static constexpr int kMoveDownId = OBResources::kFieldsMoveDownId;
    static constexpr int kFieldListId = OBResources::kFieldsListId;

    AdjustCityGroupInfoListFieldsDialog(HWND parent, CityGroupInfoList* infoList);

    void BindControls(bool attach) override;
    bool OnInitDialog() override;
    // With no field checked the list takes all of them, in their fixed order.
    void OnOK() override;
    // Up and Down; the shell fitting the dialog around its bars; the list's selection.
    bool OnCommand(const CommandParams& command) override;
    bool OnSize(SIZE client) override;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;

    ZEP_Wnd::CheckListCtrl& GetFieldList() { return m_fields; }
    // Moves a row with its text, field and check; it stays selected.
    void MoveRow(int from, int to);

private:
    void UpdateButtons();

    CityGroupInfoList* m_infoList;
    ZEP_Wnd::CheckListCtrl m_fields;
    ZEP_Wnd::Window m_moveUp;
    ZEP_Wnd::Window m_moveDown;
};

}  // namespace OBControls
