// Bitmaps from the program's resources.
#include "platform/ui/win/ResourceRegistry.h"

#if __has_include("platform/ui/image/ImageCodec.h")
#include "platform/ui/image/ImageCodec.h"
#define OB_HAVE_IMAGES 1
#endif

HBITMAP LoadBitmap(HINSTANCE, LPCWSTR name) {
    const std::vector<std::uint8_t>* bytes = ob::ui::FindBitmapBytes(name);
    if (!bytes || bytes->empty()) return nullptr;
#ifdef OB_HAVE_IMAGES
    // A picture that is not one yields no bitmap, as a missing resource does.
    return ob::ui::DecodeImage(bytes->data(), bytes->size(), 24);
#else
    return nullptr;
#endif
}
