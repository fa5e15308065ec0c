#include "platform/draw/surface.h"

Surface backBuffer;

void AllocateBackBuffer(int32_t width, int32_t height) {
    backBuffer.width = width;
    backBuffer.height = height;
    backBuffer.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
}
