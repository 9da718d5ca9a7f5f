// The Options dialog's logic: four drop-down lists and eight check boxes read
// from the application settings when it opens and written back, and saved,
// on OK. The lists are reached only through three operations, so that the
// controls behind them can be chosen by the derived class.
#pragma once

#include <string>

#include "dialogs/ScrollingDialog.h"
#include "resources/ResourceIds.h"

namespace OBControls {

// The page scrolls when it does not fit the screen (a landscape screen).
class OptionsDialogBase : public ScrollingDialog {
public:
    // The drop-down lists, in the order of their control ids, which follow each other.
    enum List { kTimeFormatList, kDistanceUnitsList, kTemperatureUnitsList, kLogLevelList, kListCount };
    static constexpr int kFirstListId = OBResources::kOptionsTimeFormatId;
    static_assert(OBResources::kOptionsLogLevelId == kFirstListId + kLogLevelList);

    explicit OptionsDialogBase(HWND parent);

    bool OnInitDialog() override;
    // Stores every choice in the settings and saves them all.
    void OnOK() override;

    virtual int GetListSelection(int list) = 0;
    virtual void SetListSelection(int list, int index) = 0;
    virtual void AddListString(int list, const std::wstring& text) = 0;
};

}  // namespace OBControls
