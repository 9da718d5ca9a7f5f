// A main view: a child of the main frame filling its client area. It keeps
// the shown instant, refreshes once the minute changes (a one-second timer
// while it is active) and passes the City menu to the shared command handler.
#pragma once

#include <string>

#include "data/Forward.h"
#include "time/DateTime.h"
#include "wnd/Window.h"

namespace OBControls {

class ViewCommandHandler;

constexpr UINT_PTR kViewTimerId = 1002;
constexpr UINT kViewTimerPeriodMs = 1000;

class BaseView : public ZEP_Wnd::Window {
public:
    static constexpr const wchar_t* kClassName = L"Orbelline_View";

    BaseView(OBData::CityGroup* cityGroup, ViewCommandHandler* commandHandler);

    // Window: a new size lays the view out again; the view's timer ticks.
    bool OnSize(SIZE client) override;
    bool OnTimer(UINT_PTR id) override;
    using ZEP_Wnd::Window::OnCommand;

    virtual bool Create(HWND parent, const RECT& rect);
    virtual void Activate();
    virtual void Deactivate();
    virtual bool OnCommand(UINT notifyCode, UINT id, HWND control);
    virtual void ApplySettings();
    virtual bool QueryCommandState(UINT id, bool& enabled, bool& checked);
    virtual void SaveCities();
    virtual OBData::City* GetSelectedCity();
    virtual OBData::CityGroup* GetCityGroup();
    virtual bool CanMoveCities(OBData::CityGroup* group, int delta);
    virtual void SetTime(const ZEP_Utility::DateTime& time);
    virtual void OnTimerTick();
    virtual bool CreateControls();
    virtual void Layout();
    // The view's cities as plain text, home first, as `--clock` prints them
    // (City > Copy); empty when the view shows no cities.
    virtual std::wstring GetListText();

    const ZEP_Utility::DateTime& GetTime() const { return m_time; }
    ViewCommandHandler* GetCommandHandler() const { return m_commandHandler; }
    bool IsTimerRunning() const { return m_timerId != 0; }

protected:
    void StopTimer();
    // One tick of the view timer: the hook, then a refresh when the minute moved.
    void Tick();

    OBData::CityGroup* m_cityGroup;
    ViewCommandHandler* m_commandHandler;
    UINT_PTR m_timerId = 0;
    ZEP_Utility::DateTime m_time;
};

}  // namespace OBControls
