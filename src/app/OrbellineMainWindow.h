// The main frame: the menu bar, the views (one shown at a time), command
// routing to the active view first, and the menu state.
#pragma once

#include <vector>

#include "app/CityGroupListView.h"
#include "data/Forward.h"
#include "resources/ResourceIds.h"
#include "wnd/FrameWindow.h"

// Commands of the main menu handled by the main window.
using OBResources::kCmdAbout;
using OBResources::kCmdChangeCities;
using OBResources::kCmdExit;
using OBResources::kCmdOptions;
using OBResources::kCmdViewMap;
using OBResources::kCmdViewPlanner;
using OBResources::kCmdViewWeather;
// Posted to itself on the first run once the window is up: asks for the home city.
constexpr UINT kCmdFirstRun = 1;

namespace OBControls {

class OrbellineMainWindow : public ZEP_Wnd::FrameWindow {
public:
    explicit OrbellineMainWindow(OBData::CityGroup* cityGroup);

    // A command goes first to the active view's OnCommand, then to the
    // window's own; the views fill the client area; closing asked from
    // outside (a signal, the desktop) is File > Exit.
    bool OnCommand(const CommandParams& command) override;
    bool OnSize(SIZE client) override;
    bool OnClose() override;
    bool OnSetFocus(HWND previous) override;
    bool OnCreate(CREATESTRUCT* createInfo) override;
    void OnDestroy() override;
    bool UpdateCommandState(UINT id, bool& enabled, bool& checked) override;

    virtual void ShowView(int index);
    virtual void SetActiveView(BaseView* view);
    virtual bool CreateViews(const RECT& clientRect) = 0;
    virtual bool OnCommand(UINT notifyCode, UINT id, HWND control);
    virtual void Close();
    // From Close on: the windows are going, nothing may be asked of the user.
    bool IsClosing() const { return m_closing; }

    // Creates the window with menu bar 103, the row pictures and the views,
    // then shows the stored view.
    bool CreateMainWindow(const RECT& rect);

    BaseView* GetActiveView() const { return m_activeView; }
    const std::vector<BaseView*>& GetViews() const { return m_views; }
    DayNightImageList& GetRowImages() { return m_rowImages; }

protected:
    void RegisterView(BaseView* view) { m_views.push_back(view); }

    DayNightImageList m_rowImages;
    BaseView* m_activeView = nullptr;
    bool m_closing = false;
    OBData::CityGroup* m_cityGroup;
    std::vector<BaseView*> m_views;
};

}  // namespace OBControls
