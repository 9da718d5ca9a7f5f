// The city information dialog: everything known about one city on one
// scrolling HTML page (the page --info prints), with its relation to the home
// city and its nearby cities. The page is built once, when the dialog opens.
#pragma once

#include <optional>
#include <string>

#include "time/DateTime.h"
#include "wnd/Dialog.h"

namespace OBData {
class City;
}

namespace OBControls {

class CityInfoDialogBase : public ZEP_Wnd::HtmlDialog {
public:
    // `otherCity` is the home city, or null when `city` is the home city.
    CityInfoDialogBase(HWND parent, const OBData::City* city, const OBData::City* otherCity, UINT titleId = 0,
                       UINT menuBarId = 0);

    bool OnInitDialog() override;

    // Every information line in <SMALL> (on by default).
    void SetSmallText(bool on) { m_smallText = on; }
    // The moment described; without one, the time the dialog opens.
    void SetMoment(const ZEP_Utility::DateTime& moment) { m_moment = moment; }
    // The page shown, once the dialog has opened.
    const std::wstring& GetPage() const { return m_page; }

private:
    bool m_smallText = true;
    const OBData::City* m_city;
    const OBData::City* m_otherCity;
    std::optional<ZEP_Utility::DateTime> m_moment;
    std::wstring m_page;
};

}  // namespace OBControls
