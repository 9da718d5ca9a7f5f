// Bitmaps from the program's resources.
#include "platform/ui/win/ResourceRegistry.h"

#include "platform/ui/image/ImageCodec.h"

HBITMAP LoadBitmap(HINSTANCE, LPCWSTR name) {
    const std::vector<std::uint8_t>* bytes = ob::ui::FindBitmapBytes(name);
    if (!bytes || bytes->empty())
        return nullptr;
    // A picture that is not one yields no bitmap, as a missing resource does.
    return ob::ui::DecodeImage(bytes->data(), bytes->size(), 24);
}
