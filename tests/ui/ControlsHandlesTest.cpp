// Controls give back every device context and drawing object they take:
// once caches are warm, making, painting and destroying them again leaves
// the handle counts where they were.
#include "ControlsFixture.h"

#include "platform/ui/gdi/DeviceContext.h"

using controls_test::ControlsTest;

namespace {

class HandlesTest : public ControlsTest {
protected:
    void Cycle() {
        std::vector<HWND> made{
            Make(WC_BUTTON, BS_PUSHBUTTON, 4, 4, 60, 20, 101, L"Push"),
            Make(WC_BUTTON, BS_AUTOCHECKBOX, 4, 28, 60, 20, 102, L"Check"),
            Make(WC_STATIC, 0, 4, 52, 60, 20, 103, L"Static"),
            Make(WC_EDIT, 0, 4, 76, 60, 20, 104, L"Edit"),
            Make(WC_LISTBOX, 0, 70, 4, 80, 60, 105),
            Make(WC_COMBOBOX, CBS_DROPDOWNLIST, 70, 70, 80, 60, 106),
            Make(WC_LISTVIEW, LVS_REPORT, 4, 100, 150, 60, 107),
            Make(TRACKBAR_CLASS, TBS_HORZ, 4, 164, 150, 24, 108),
            Make(DATETIMEPICK_CLASS, 0, 4, 190, 150, 22, 109),
        };
        SendMessage(made[4], LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"row"));
        SendMessage(made[5], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"choice"));
        for (HWND h : made)
            InvalidateRect(h, nullptr, TRUE);
        ui.RunUntilIdle();
        ui.Tap(made[1]);
        ui.Tap(made[5]);  // opens the drop-down
        ui.RunUntilIdle();
        ui.Tap(made[5]);
        ui.RunUntilIdle();
        for (HWND h : made)
            DestroyWindow(h);
        ui.RunUntilIdle();
    }
};

TEST_F(HandlesTest, MakingPaintingAndDestroyingControlsLeaksNoHandles) {
    Cycle();  // fills the font and brush caches
    const std::size_t dcs = ob::ui::LiveDCCount(), objects = ob::ui::LiveObjectCount();
    Cycle();
    Cycle();
    EXPECT_EQ(ob::ui::LiveDCCount(), dcs);
    EXPECT_EQ(ob::ui::LiveObjectCount(), objects);
}

}  // namespace
