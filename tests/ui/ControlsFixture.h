// A parent window that records what its controls tell it, on the headless
// screen with the virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/Controls.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Windows.h"
#include "platform/ui/testing/UiDriver.h"

namespace controls_test {

struct Heard {
    UINT message;
    int id;     // control id
    int code;   // notification code (sign-extended for WM_NOTIFY), scroll code
    int value;  // scroll position, or the list view item
};

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A control as a child of the recording parent, in client pixels.
    HWND Make(LPCWSTR cls, DWORD style, int x, int y, int w, int h, int id = 100, LPCWSTR text = L"");
    // Codes heard of `message` (WM_COMMAND, WM_NOTIFY, WM_HSCROLL, ...).
    std::vector<int> Codes(UINT message) const;
    void Clear() { heard.clear(); }
    POINT ScreenPoint(HWND hwnd, int x, int y) const;

public:  // filled by the parent's window procedure
    ob::ui::testing::UiDriver ui;
    HWND parent = nullptr;
    std::vector<Heard> heard;
    // Set by WM_NOTIFY: the last date picker change and list view change.
    NMDATETIMECHANGE lastDate{};
    NMLISTVIEW lastItem{};
    // Answer to LVN_ITEMCHANGING (TRUE refuses).
    LRESULT refuseChanging = FALSE;
    std::vector<UINT> drawStates;  // itemState of each WM_DRAWITEM
};

}  // namespace controls_test
