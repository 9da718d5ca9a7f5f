#include "app/DayNightImageList.h"

#include "resources/ResourceIds.h"

namespace OBControls {

namespace {
constexpr int kGrowth = 10;
constexpr COLORREF kMagenta = RGB(255, 0, 255);
}  // namespace

bool DayNightImageList::Create() {
    const bool small = ::GetSystemMetrics(SM_CXSCREEN) < 480;
    return Load(small ? OBResources::kRowPicturesSmall : OBResources::kRowPicturesLarge, small ? 16 : 32,
                kGrowth, kMagenta);
}

bool DayNightImageList::Draw(const OBData::City& city, const ZEP_Utility::DateTime& utc, HDC dc, int x,
                             int y) const {
    return Draw(dc, OBData::IsNight(city, utc) ? kNight : kDay, x, y, ILD_TRANSPARENT);
}

}  // namespace OBControls
