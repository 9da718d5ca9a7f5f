// Registration of the control classes and the common controls entry point.
#include "platform/ui/Gdi.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ComboBox.h"
#include "platform/ui/controls/DateTimePicker.h"
#include "platform/ui/controls/Edit.h"
#include "platform/ui/controls/ListBox.h"
#include "platform/ui/controls/ListView.h"
#include "platform/ui/controls/MonthCalendar.h"
#include "platform/ui/controls/ScrollBar.h"
#include "platform/ui/controls/Static.h"
#include "platform/ui/controls/TrackBar.h"

namespace ob::ui {

namespace {
void Register(LPCWSTR name, WNDPROC proc, UINT style = 0) {
    WNDCLASS existing{};
    if (GetClassInfo(nullptr, name, &existing))
        return;
    WNDCLASS wc{};
    wc.style = style | CS_GLOBALCLASS;
    wc.lpfnWndProc = proc;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    RegisterClass(&wc);
}
}  // namespace

void RegisterControlClasses() {
    Register(WC_BUTTON, ControlProc<Button>, CS_DBLCLKS);
    Register(WC_STATIC, ControlProc<Static>);
    Register(WC_EDIT, ControlProc<Edit>, CS_DBLCLKS);
    Register(WC_LISTBOX, ControlProc<ListBox>, CS_DBLCLKS);
    Register(WC_COMBOLBOX, ControlProc<ComboListBox>);
    Register(WC_COMBOBOX, ControlProc<ComboBox>);
    Register(WC_SCROLLBAR, ControlProc<ScrollBar>);
    Register(WC_LISTVIEW, ControlProc<ListView>, CS_DBLCLKS);
    Register(TRACKBAR_CLASS, ControlProc<TrackBar>);
    Register(DATETIMEPICK_CLASS, ControlProc<DateTimePicker>);
    Register(L"ob_MonthCalendar", ControlProc<MonthCalendar>);
}

}  // namespace ob::ui

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc) {
    if (!icc || icc->dwSize != sizeof(INITCOMMONCONTROLSEX))
        return FALSE;
    ob::ui::RegisterControlClasses();
    return TRUE;
}

void InitCommonControls() { ob::ui::RegisterControlClasses(); }
