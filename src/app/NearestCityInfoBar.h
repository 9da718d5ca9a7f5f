// The bar under the map that names the gazetteer city nearest to where the
// map was tapped. Its buttons step to farther and nearer cities, show the
// city's information, add it to the user's cities, open the nearby cities
// and close the bar. Every press reaches the parent as a command from the
// bar whose notification code is the button's id.
#pragma once

#include <string>
#include <vector>

#include "app/ImageButton.h"
#include "geo/NearestCities.h"
#include "geo/Position.h"
#include "time/DateTime.h"
#include "wnd/Library.h"
#include "wnd/Paint.h"
#include "wnd/ToolTip.h"
#include "wnd/Window.h"

namespace OBData {
class City;
class CityGroup;
}  // namespace OBData

class NearestCityInfoBar : public ZEP_Wnd::Window {
public:
    static constexpr const wchar_t* kClassName = L"Orbelline_CityInfoBar";
    // Buttons (control ids).
    static constexpr int kInfoButton = 1001;
    static constexpr int kAddButton = 1002;
    static constexpr int kNearbyButton = 1003;
    static constexpr int kCloseButton = 1004;
    static constexpr int kNearerButton = 1005;
    static constexpr int kFurtherButton = 1006;
    static constexpr int kButtonCount = 6;
    // Screens with fewer pixels per inch than this use the small buttons.
    static constexpr int kSmallButtonDpiLimit = 151;
    static constexpr int kBorder = 1;
    static constexpr int kFontPoints = 8;

    NearestCityInfoBar();

    // Creates the bar hidden, as high as its text and buttons need, at the
    // rectangle's left, top and right.
    bool Create(HWND parent, const RECT& rect, UINT id);
    // Finds the cities nearest `position`, shows the nearest and shows the bar.
    void SetPosition(const OBData::Position& position);
    const OBData::Position& GetPosition() const { return m_position; }
    // The city of the current candidate, or null.
    OBData::City* GetCurrentCity() const;
    // Moves to a farther (+) or nearer (-) city, staying within the list.
    void Step(int delta);
    // The group whose home city the distance counts from (not owned; may be null).
    void SetCityGroup(const OBData::CityGroup* group);
    // The UTC moment whose local time the bar shows; repaints when the text changes.
    void SetTime(const ZEP_Utility::DateTime& utc);
    // What the bar says about the current city: its name, its local time, and
    // its country and distance from home ("" for home or without one).
    struct Facts {
        std::wstring name;
        std::wstring time;
        std::wstring country;
        std::wstring distance;
    };
    Facts GetFacts() const;

    int GetIndex() const { return m_index; }
    int GetCandidateCount() const { return static_cast<int>(m_candidates.size()); }
    int GetHeight() const { return m_height; }
    ImageButton& GetButton(int id) { return m_buttons[id - kInfoButton]; }
    ZEP_Wnd::ToolTip& GetToolTip() { return m_tip; }

    bool OnPaint() override;
    bool OnEraseBackground(HDC dc) override;
    bool OnSize(SIZE client) override;
    HBRUSH OnCtlColor(UINT message, HDC dc, HWND control) override;
    bool OnCommand(const CommandParams& command) override;
    bool OnCreate(CREATESTRUCT* createInfo) override;
    void OnDestroy() override;

private:
    void UpdateArrows();
    void LayoutButtons();
    void Paint(HDC dc);
    // The text's box: inside the frame, left of the buttons.
    RECT TextRect() const;
    void OnButton(int id);

    ZEP_Wnd::ToolTip m_tip;
    ImageButton m_buttons[kButtonCount];
    OBData::Position m_position;
    std::vector<OBData::NearestCity> m_candidates;
    int m_index = 0;
    ZEP_Wnd::OwnedFont m_font;
    ZEP_Wnd::OffscreenBuffer m_buffer;
    int m_height = 0;
    const OBData::CityGroup* m_group = nullptr;
    ZEP_Utility::DateTime m_time;
    std::wstring m_shownTime;  // the time text of the last paint
};
