// Shared set-up for the city list tests: a headless screen, the program's
// resources and reference data, a host window that records what the list
// tells it, and city groups made from gazetteer ids.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/CityGroupInfoList.h"
#include "data/City.h"
#include "data/ReferenceLookup.h"
#include "data/ReferenceTables.h"
#include "model/AppSettings.h"
#include "model/CityGroup.h"
#include "platform/ui/Shell.h"
#include "platform/ui/testing/UiDriver.h"
#include "resources/Resources.h"
#include "wnd/Library.h"
#include "wnd/Window.h"

namespace listtest {

constexpr int kLondon = 234, kNewYork = 292, kSydney = 414;

// What the list sent to its parent, in order.
struct Notification {
    UINT code;
    int a;  // old row, key, row
    int b;  // new row, point x
};

class HostWindow : public ZEP_Wnd::Window {
public:
    static constexpr const wchar_t* kClass = L"ListTestHost";
    HostWindow() {
        ZEP_Wnd::RegisterWindowClass(kClass, nullptr, ::LoadCursor(nullptr, IDC_ARROW),
                                     ::GetSysColorBrush(COLOR_WINDOW));
    }
    bool Create(const RECT& rect) {
        return ZEP_Wnd::Window::Create(kClass, L"", WS_POPUP | WS_VISIBLE, 0, rect, nullptr, 0);
    }
    bool OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) override {
        if (message != WM_NOTIFY)
            return false;
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        Notification n{header->code, 0, 0};
        switch (header->code) {
        case OBControls::kCityListSelectionChanged: {
            const auto* s = reinterpret_cast<const OBControls::CityListSelectionNotify*>(lParam);
            n.a = s->oldRow;
            n.b = s->newRow;
            break;
        }
        case OBControls::kCityListKeyDown:
            n.a = static_cast<int>(reinterpret_cast<const NMKEY*>(lParam)->nVKey);
            break;
        case OBControls::kCityListTapped: {
            const auto* t = reinterpret_cast<const OBControls::CityListTapNotify*>(lParam);
            n.a = t->row;
            n.b = t->point.x;
            break;
        }
        case NM_RECOGNIZEGESTURE:
            n.a = reinterpret_cast<const NMRGINFO*>(lParam)->ptAction.x;
            n.b = reinterpret_cast<const NMRGINFO*>(lParam)->ptAction.y;
            break;
        default: break;
        }
        notifications.push_back(n);
        result = 0;
        return true;
    }
    int Count(UINT code) const {
        int count = 0;
        for (const Notification& n : notifications)
            count += n.code == code;
        return count;
    }
    std::vector<Notification> notifications;
};

// The first `count` cities of the gazetteer by id, London first.
inline OBData::CityGroup MakeGroup(int count) {
    OBData::CityGroup group;
    if (count > 0)
        group.AddCity(kLondon);
    for (int id = 1; group.GetCount() < count && id < 2000; ++id)
        if (id != kLondon && OBData::GetCity(id))
            group.AddCity(id);
    return group;
}

class ListTest : public ::testing::Test {
protected:
    explicit ListTest(const char* screen = "240x320") : driver(screen) {
        // The work area, below the navigation bar and above the menu bar.
        RECT work{0, 0, 0, 0};
        ::SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
        hostTop = work.top;
        hostWidth = work.right - work.left;
        hostHeight = (work.bottom - work.top) * 3 / 4;
    }

    void SetUp() override {
        ASSERT_TRUE(OBData::LoadReferenceTables());
        OBResources::RegisterResources();
        ::InitCommonControls();  // the program does this at start; the buttons need it
        GetSettingsStore().Clear();
        ASSERT_TRUE(host.Create(RECT{0, hostTop, hostWidth, hostTop + hostHeight}));
    }

    // A list over `group` filling the host, created, shown and painted.
    std::unique_ptr<OBControls::CityGroupInfoList> MakeList(OBData::CityGroup& group, DWORD flags = 1,
                                                            const wchar_t* name = L"mapview_list") {
        auto list = std::make_unique<OBControls::CityGroupInfoList>(name, &group, 8);
        EXPECT_TRUE(list->Create(host.GetHandle(), RECT{0, 0, hostWidth, hostHeight}, flags, 1001));
        list->SetTime(ZEP_Utility::DateTime(2026, 1, 1, 12, 0, 0), false);
        list->ShowWindow(SW_SHOW);
        driver.RunUntilIdle();
        host.notifications.clear();
        return list;
    }

    static POINT ScreenPoint(const OBControls::CityGroupListCtrl& list, int x, int y) {
        POINT p{x, y};
        ::ClientToScreen(list.GetHandle(), &p);
        return p;
    }

    ob::ui::testing::UiDriver driver;
    int hostTop;
    int hostWidth;
    int hostHeight;
    HostWindow host;
};

}  // namespace listtest
