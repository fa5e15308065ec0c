// The screen's back buffer and the work on it that drawing puts off: a clear, and
// the blend of a scaled sprite over it. Both are written a row at a time, each row
// just before anything else touches it, so that a frame drawn from the top meets
// every row while it is still in the cache instead of going over the whole buffer
// once per layer. The buffer lives in this file alone: every way to its pixels
// writes the put-off rows it needs first.
#include <algorithm>
#include <cstring>

#include "platform/display.h"
#include "platform/draw/draw_state.h"

namespace {

struct DeferredRows {
    bool clear = false;
    uint32_t clearColour = 0;
    DeferredBlend blend;  // none while its layer is null
    int64_t next = 0;     // rows above it are written
};

Surface backBuffer;
DeferredRows deferred;

bool AnyDeferredRows() {
    return deferred.clear || deferred.blend.layer != nullptr;
}

// Writes the put-off work on the rows above `end`.
void WriteDeferredRows(int64_t end) {
    if (!AnyDeferredRows()) return;
    const bool clearToBlack = deferred.clear && deferred.clearColour == 0;
    for (; deferred.next < std::min<int64_t>(end, backBuffer.height); ++deferred.next) {
        uint32_t* row = backBuffer.pixels.data() + deferred.next * backBuffer.width;
        const DeferredBlend& b = deferred.blend;
        const bool blended = b.layer != nullptr && deferred.next >= b.rowFirst && deferred.next < b.rowEnd;
        if (clearToBlack && !blended) {
            // The game's clear: the C library's block clear is the fastest write.
            std::memset(row, 0, static_cast<std::size_t>(backBuffer.width) * sizeof(uint32_t));
        } else if (deferred.clear && !clearToBlack) {
            std::fill(row, row + backBuffer.width, deferred.clearColour);
        }
        // A black clear under a blend is written by the blend, around the layer's spans.
        if (blended) {
            ApplyLayerRow(backBuffer, *b.layer, b.x, b.y, b.columnFirst, b.columnEnd, deferred.next,
                          clearToBlack);
        }
    }
    if (deferred.next >= backBuffer.height) deferred = DeferredRows{};
}

}  // namespace

void AllocateBackBuffer(int32_t width, int32_t height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    backBuffer.width = width;
    backBuffer.height = height;
    backBuffer.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    deferred = DeferredRows{};
}

int32_t BackBufferWidth() {
    return backBuffer.width;
}

int32_t BackBufferHeight() {
    return backBuffer.height;
}

Surface& BackBufferDownTo(int64_t lastRow) {
    if (AnyDeferredRows()) WriteDeferredRows(std::min<int64_t>(lastRow, backBuffer.height - 1) + 1);
    return backBuffer;
}

Surface& SettledBackBuffer() {
    WriteDeferredRows(backBuffer.height);
    return backBuffer;
}

// Every pixel is overwritten: whatever was put off before no longer matters.
void ClearBackBuffer(int32_t r, int32_t g, int32_t b) {
    deferred = DeferredRows{};
    deferred.clear = true;
    deferred.clearColour = MakeColour(r, g, b);
}

bool CanDeferBlend() {
    return deferred.next == 0 && deferred.blend.layer == nullptr;
}

void DeferBlend(const DeferredBlend& blend) {
    deferred.blend = blend;
}
