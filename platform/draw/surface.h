// Inside the platform layer: the pixel surfaces shared by the software renderer
// and the back ends that present them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct Surface {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // row-major, MakeColour layout
};

// Pixels that are not cleared when they grow, for buffers whose users write each pixel
// before reading it: fresh memory costs a page fault on first touch, a good part of
// the first frame's time in a browser.
template <typename T>
struct UnclearedPixels {
    std::unique_ptr<T[]> items;
    std::size_t capacity = 0;
};

// Room for `count` pixels; what they held before is kept only while they fit.
template <typename T>
void ReservePixels(UnclearedPixels<T>& pixels, std::size_t count) {
    if (count <= pixels.capacity) return;
    pixels.items.reset(new T[count]);  // default-initialised: not cleared
    pixels.capacity = count;
}

// The screen's back buffer; the back ends size it in OpenFullScreen and present it.
// Clears and blends onto it are put off, so its pixels are reached only through calls
// that write that work first: SettledBackBuffer here, and the renderer's own.
void AllocateBackBuffer(int32_t width, int32_t height);
int32_t BackBufferWidth();
int32_t BackBufferHeight();
// The back buffer with everything put off written: for presenting it.
Surface& SettledBackBuffer();
// Ends any drawing and scaled pass, frees every sprite and scaled sprite (ReleaseScreen).
void ReleaseDrawing();
// Ends the current drawing if it holds the back buffer and settles it (PresentFrame,
// before it shows the frame).
void ReleaseBackBufferDrawing();
// Drawing state, sprite tables and filtering back to their start values (ResetPlatform).
void ResetDrawing();
