// libFuzzer harness for the level bitmap decoder: any bytes either decode to an
// image of exactly width x height pixels or are refused with a one-line reason.
#include <cstdlib>

#include "platform/draw/bitmap_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    Surface image;
    std::string reason;
    const bool decoded = DecodeBitmap(data, size, image, reason);
    if (decoded) {
        if (image.width < 1 || image.height < 1 || !reason.empty() ||
            image.pixels.size() !=
                static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height)) {
            std::abort();
        }
        for (uint32_t pixel : image.pixels) {
            if ((pixel >> 24) != 0) {  // decoded pixels never set the top byte
                std::abort();
            }
        }
    } else if (reason.empty() || reason.find('\n') != std::string::npos || !image.pixels.empty() ||
               image.width != 0 || image.height != 0) {
        std::abort();
    }
    return 0;
}
