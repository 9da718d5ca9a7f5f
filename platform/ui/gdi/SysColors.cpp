// The system colour scheme: a light pocket-computer palette with white
// windows and dialogs, a blue highlight and pale yellow tips.
#include <memory>

#include "platform/ui/gdi/GdiObjects.h"

namespace {

constexpr int kColorCount = 29;

constexpr COLORREF kColors[kColorCount] = {
    RGB(200, 200, 200),  // scroll bar
    RGB(58, 110, 165),   // desktop
    RGB(16, 74, 156),    // active caption (navigation bar)
    RGB(128, 128, 128),  // inactive caption
    RGB(255, 255, 255),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(192, 192, 192),  // active border
    RGB(192, 192, 192),  // inactive border
    RGB(128, 128, 128),  // application workspace
    RGB(49, 106, 197),   // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(214, 211, 206),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(214, 211, 206),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(64, 64, 64),     // 3D dark shadow
    RGB(236, 233, 216),  // 3D light
    RGB(0, 0, 0),        // info text
    RGB(255, 255, 225),  // info background
    RGB(255, 255, 255),  // static background
    RGB(0, 0, 0),        // static text
    RGB(58, 116, 206),   // active caption gradient end
    RGB(160, 160, 160),  // inactive caption gradient end
};

int NormaliseIndex(int index) {
    index &= ~SYS_COLOR_INDEX_FLAG;
    return index >= 0 && index < kColorCount ? index : -1;
}

}  // namespace

DWORD GetSysColor(int index) {
    int i = NormaliseIndex(index);
    return i < 0 ? 0 : kColors[i];
}

HBRUSH GetSysColorBrush(int index) {
    static HBRUSH brushes[kColorCount] = {};
    int i = NormaliseIndex(index);
    if (i < 0)
        return nullptr;
    if (!brushes[i]) {
        auto b = std::make_unique<ob::ui::BrushObject>();
        b->sysColorIndex = i;
        b->color = kColors[i];
        b->stock = true;
        brushes[i] = ob::ui::AddObject(std::move(b));
    }
    return brushes[i];
}
