// The shell's chrome: the navigation bar at the top of the screen and the
// sizes of the bars.
#include "platform/ui/Shell.h"
#include "platform/ui/win/WindowSystem.h"

namespace ob::ui {

int NavBarHeight() { return Scale(26); }
int MenuBarHeight() { return Scale(26); }

RECT WorkArea() {
    WindowSystem& s = Sys();
    return RECT{0, NavBarHeight(), s.screenWidth, s.screenHeight};
}

void StartShell() {}
void ShellWindowActivated() {}
void ShellTitleChanged(HWND) {}

}  // namespace ob::ui
