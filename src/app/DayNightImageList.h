// The small day or night picture in front of each city row.
#pragma once

#include "data/City.h"
#include "time/DateTime.h"
#include "wnd/ImageList.h"

namespace OBControls {

class DayNightImageList : public ZEP_Wnd::ImageList {
public:
    static constexpr int kDay = 0;
    static constexpr int kNight = 1;

    // Loads the pictures for the screen: 16 pixels on screens narrower than
    // 480 pixels, 32 on the others.
    bool Create();

    using ZEP_Wnd::ImageList::Draw;
    // The city's day or night picture for a UTC instant, drawn transparently.
    bool Draw(const OBData::City& city, const ZEP_Utility::DateTime& utc, HDC dc, int x, int y) const;
};

}  // namespace OBControls
