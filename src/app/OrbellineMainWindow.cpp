#include "app/OrbellineMainWindow.h"

#include "model/AppSettings.h"
#include "model/CityGroup.h"
#include "platform/ui/display/Display.h"
#include "resources/ResourceIds.h"
#include "wnd/Library.h"

namespace OBControls {

OrbellineMainWindow::OrbellineMainWindow(OBData::CityGroup* cityGroup) : m_cityGroup(cityGroup) {}

bool OrbellineMainWindow::CreateMainWindow(const RECT& rect) {
    const std::wstring title = ZEP_Wnd::LoadString(OBResources::kProgramName);
    if (!FrameWindow::Create(nullptr, rect, title.c_str(), WS_VISIBLE, OBResources::kMainMenu))
        return false;
    m_rowImages.Create();
    if (!CreateViews(GetClientRect()))
        return false;
    ShowView(GetAppSettings().GetTab());
    ShowWindow(SW_SHOW);
    return true;
}

bool OrbellineMainWindow::OnCreate(CREATESTRUCT* createInfo) { return FrameWindow::OnCreate(createInfo); }

bool OrbellineMainWindow::OnCommand(const CommandParams& command) {
    if (!(m_activeView && m_activeView->OnCommand(command.code, command.id, command.from)))
        OnCommand(command.code, command.id, command.from);
    return true;
}

bool OrbellineMainWindow::OnSize(SIZE client) {
    for (BaseView* view : m_views)
        if (view->GetHandle())
            view->SetWindowPos(nullptr, 0, 0, client.cx, client.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

bool OrbellineMainWindow::OnClose() {
    Close();
    return true;
}

bool OrbellineMainWindow::OnSetFocus(HWND) {
    if (m_activeView && m_activeView->GetHandle())
        m_activeView->SetFocus();
    return true;
}

void OrbellineMainWindow::OnDestroy() {
    // The desktop window's size and place, for the next start (leaving the
    // view below writes them).
    if (const ob::ui::WindowPlacement place = ob::ui::DesktopWindowPlacement(); !place.Empty())
        GetAppSettings().SetWindowPlace(WindowPlace{place.x, place.y, place.width, place.height});
    if (m_activeView) {
        m_activeView->Deactivate();
        m_activeView = nullptr;
    }
    if (m_menuBar) {
        ::DestroyWindow(m_menuBar);
        m_menuBar = nullptr;
    }
    for (BaseView* view : m_views)
        if (view->GetHandle())
            view->Destroy();
    FrameWindow::OnDestroy();
}

bool OrbellineMainWindow::UpdateCommandState(UINT id, bool& enabled, bool& checked) {
    if (m_activeView && m_activeView->QueryCommandState(id, enabled, checked))
        return true;
    const int tab = GetAppSettings().GetTab();
    switch (id) {
    case kCmdViewMap: checked = tab == 0; return true;
    case kCmdViewPlanner: checked = tab == 1; return true;
    case kCmdViewWeather: checked = tab == 2; return true;
    default: return false;
    }
}

void OrbellineMainWindow::ShowView(int index) {
    if (m_views.empty())
        return;
    // A hand-edited file may name a view that does not exist.
    if (index < 0 || index >= static_cast<int>(m_views.size()))
        index = 0;
    AppSettings& settings = GetAppSettings();
    if (index != settings.GetTab()) {
        settings.SetTab(index);
        SaveAllSettings();
    }
    SetActiveView(m_views[static_cast<std::size_t>(index)]);
}

void OrbellineMainWindow::SetActiveView(BaseView* view) {
    if (view == m_activeView)
        return;
    if (m_activeView)
        m_activeView->Deactivate();
    m_activeView = view;
    if (m_activeView)
        m_activeView->Activate();
}

bool OrbellineMainWindow::OnCommand(UINT, UINT, HWND) { return false; }

void OrbellineMainWindow::Close() {
    m_closing = true;
    Destroy();
    SaveAllSettings();
}

}  // namespace OBControls
