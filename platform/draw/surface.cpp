#include "platform/draw/surface.h"

#include <sys/mman.h>

#include <cstdint>

#include "platform/display.h"
#include "platform/draw/draw_state.h"

Surface backBuffer;

namespace {

// Vertical lines touch one page per row; on 4 KiB pages that is a TLB miss per
// pixel. Huge pages for the back buffer (asked for before its first touch)
// take most of that cost away. Only a hint: the kernel may ignore it.
void AdviseHugePages(void* data, std::size_t bytes) {
    constexpr auto HUGE_PAGE = std::uintptr_t{2} << 20;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + HUGE_PAGE - 1) / HUGE_PAGE * HUGE_PAGE;
    const std::uintptr_t end = (begin + bytes) / HUGE_PAGE * HUGE_PAGE;
    if (first < end) {
        madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
    }
}

}  // namespace

void AllocateBackBuffer(int32_t width, int32_t height) {
    if (width < 0) {
        width = 0;
    }
    if (height < 0) {
        height = 0;
    }
    backBuffer.width = width;
    backBuffer.height = height;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<uint32_t>().swap(backBuffer.pixels);
    backBuffer.pixels.reserve(count);
    AdviseHugePages(backBuffer.pixels.data(), count * sizeof(uint32_t));
    backBuffer.pixels.assign(count, 0u);
}

void ReleaseDrawing() {
    EndDraw();
    EndScaledPass();
    EmptySpriteTables();
}

void ResetDrawing() {
    ReleaseDrawing();
    drawState = DrawState{};
    scaledFiltering = 0;
}
