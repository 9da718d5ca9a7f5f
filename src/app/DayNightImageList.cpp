#include "app/DayNightImageList.h"

namespace OBControls {

namespace {
constexpr UINT kSmallPictures = 110;   // two pictures of 16 x 16
constexpr UINT kLargePictures = 1030;  // two pictures of 32 x 32
constexpr int kGrowth = 10;
constexpr COLORREF kMagenta = RGB(255, 0, 255);
}  // namespace

bool DayNightImageList::Create() {
    const bool small = ::GetSystemMetrics(SM_CXSCREEN) < 480;
    return Load(small ? kSmallPictures : kLargePictures, small ? 16 : 32, kGrowth, kMagenta);
}

bool DayNightImageList::Draw(const OBData::City& city, const ZEP_Utility::DateTime& utc, HDC dc, int x,
                             int y) const {
    return Draw(dc, OBData::IsNight(city, utc) ? kNight : kDay, x, y, ILD_TRANSPARENT);
}

}  // namespace OBControls
