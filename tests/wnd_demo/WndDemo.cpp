// framework_demo --screen WxH --out DIR: builds a frame window with a menu bar,
// opens a popup, shows a tooltip, a full-screen dialog and an HTML dialog,
// and writes a screenshot of each.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/kernel/Clock.h"
#include "platform/ui/Controls.h"
#include "platform/ui/display/Display.h"
#include "platform/ui/testing/UiDriver.h"
#include "platform/ui/win/ResourceRegistry.h"
#include "wnd/Dialog.h"
#include "wnd/FrameWindow.h"
#include "wnd/Library.h"
#include "wnd/ToolTip.h"

using namespace ZEP_Wnd;

namespace {

constexpr UINT kMenu = 500;
constexpr UINT kDialog = 501;

void RegisterDemoResources() {
    ob::ui::MenuResource menu;
    ob::ui::MenuResource file{
        L"File", 0, 0, {{L"About...", 100, 0, {}}, {L"", 0, MF_SEPARATOR, {}}, {L"Exit", 101, 0, {}}}};
    ob::ui::MenuResource city{
        L"City",
        0,
        0,
        {{L"Information...", 110, 0, {}}, {L"Set as Home", 111, MF_GRAYED, {}}, {L"Remove", 112, 0, {}}}};
    menu.items = {file, city};
    ob::ui::RegisterMenu(kMenu, menu);
    ob::ui::MenuBarResource bar;
    bar.menuId = kMenu;
    bar.buttons = {{200, 0, 0, L"File"}, {201, 0, 1, L"City"}};
    ob::ui::RegisterMenuBar(kMenu, bar);

    DLGTEMPLATE t;
    t.style = WS_POPUP | WS_VISIBLE | DS_SETFONT;
    t.cx = 160;
    t.cy = 200;
    t.title = L"Options";
    auto item = [](const wchar_t* cls, const wchar_t* text, WORD id, DWORD style, short x, short y, short cx,
                   short cy) {
        DLGITEMTEMPLATE i;
        i.className = cls;
        i.text = text;
        i.id = id;
        i.style = WS_VISIBLE | style;
        i.x = x;
        i.y = y;
        i.cx = cx;
        i.cy = cy;
        return i;
    };
    t.items = {item(L"STATIC", L"Distance units:", 1000, SS_LEFT, 4, 6, 70, 8),
               item(L"BUTTON", L"Show the night shadow", 1001, BS_AUTOCHECKBOX | WS_TABSTOP, 4, 20, 120, 10),
               item(L"BUTTON", L"Two-line city display", 1002, BS_AUTOCHECKBOX | WS_TABSTOP, 4, 34, 120, 10)};
    ob::ui::RegisterDialog(kDialog, t);

    DLGTEMPLATE html;
    html.style = WS_POPUP | WS_VISIBLE | DS_SETFONT;
    html.cx = 160;
    html.cy = 200;
    html.title = L"City Information";
    html.items = {item(L"DISPLAYCLASS", L"", HtmlDialog::kHtmlControlId, WS_VSCROLL, 0, 0, 160, 200)};
    ob::ui::RegisterDialog(HtmlDialog::kTemplateId, html);
}

class DemoDialog : public Dialog {
public:
    explicit DemoDialog(HWND parent) : Dialog(kDialog, parent) {}
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        CheckDlgButton(m_hwnd, 1001, BST_CHECKED);
        return true;
    }
};

}  // namespace

int main(int argc, char** argv) {
    std::string screen = "240x320";
    std::string out = ".";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--screen") == 0)
            screen = argv[i + 1];
        else if (std::strcmp(argv[i], "--out") == 0)
            out = argv[i + 1];
    }
    std::filesystem::create_directories(out);
    ob::ui::testing::UiDriver ui(screen);
    InitCommonControls();
    RegisterDemoResources();
    const std::string prefix = out + "/" + screen + "_";
    int failures = 0;
    auto shot = [&](const char* name) {
        ui.RunUntilIdle();
        if (!ui.Screenshot(prefix + name + ".png")) {
            std::fprintf(stderr, "could not write %s\n", name);
            ++failures;
        }
    };

    FrameWindow frame;
    if (!frame.Create(nullptr, DefaultWindowRect(), L"Orbelline", WS_VISIBLE, kMenu)) {
        std::fprintf(stderr, "the frame window could not be created\n");
        return 1;
    }
    shot("frame");

    // Open the City popup from the menu bar and take a picture while it is open.
    ui.WhenIdle([&] {
        shot("menu");
        ui.PenDown(POINT{5, 60});  // a tap outside the popup closes it
        ui.PenUp(POINT{5, 60});
    });
    RECT bar{};
    GetWindowRect(frame.GetMenuBar(), &bar);
    const int barHeight = bar.bottom - bar.top;
    ui.Tap(POINT{bar.left + barHeight * 9 / 5, bar.top + barHeight / 2});  // the "City" button
    ui.RunUntilIdle();

    ToolTip tip;
    tip.Create(frame.GetHandle(), ToolTip::SingleLine);
    RECT client = frame.GetWindowRect();
    tip.ShowAt(RECT{client.left + 150, client.bottom - 30, client.left + 170, client.bottom - 10},
               L"Display next city info");
    shot("tooltip");
    tip.Hide();

    DemoDialog dialog(frame.GetHandle());
    ui.WhenIdle([&] {
        shot("dialog");
        PostMessage(dialog.GetHandle(), WM_COMMAND, IDOK, 0);
    });
    if (dialog.DoModal() != IDOK) {
        std::fprintf(stderr, "the full-screen dialog did not run\n");
        ++failures;
    }

    HtmlDialog html(frame.GetHandle());
    html.SetHtml(
        L"<b>London</b><br>United Kingdom<br><br><small>Dial: 00 44 20</small>"
        L"<table><tr><td>Sunrise</td><td>08:01</td></tr><tr><td>Sunset</td><td>16:12</td></tr></table>");
    ui.WhenIdle([&] {
        shot("html");
        PostMessage(html.GetHandle(), WM_COMMAND, IDOK, 0);
    });
    if (html.DoModal() != IDOK && HtmlDialog::IsViewerReady()) {
        std::fprintf(stderr, "the HTML dialog did not run\n");
        ++failures;
    }

    frame.Destroy();
    return failures == 0 ? 0 : 1;
}
