// The picture decoders: the first byte picks JPEG, PNG or BMP.
#include "platform/ui/image/Decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t* body = data + 1;
    const std::size_t length = size - 1;
    switch (data[0] % 3) {
    case 0: ob::ui::DecodeJpeg(body, length); break;
    case 1: ob::ui::DecodePng(body, length); break;
    default: ob::ui::DecodeBmp(body, length); break;
    }
    return 0;
}
