// Inside the platform layer: the pixel surfaces shared by the software renderer
// and the back ends that present them.
#pragma once

#include <cstdint>
#include <vector>

struct Surface {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // row-major, MakeColour layout
};

// The screen's back buffer; the back ends size it in OpenFullScreen and present it.
extern Surface backBuffer;

void AllocateBackBuffer(int32_t width, int32_t height);
// Ends any drawing and scaled pass, frees every sprite and scaled sprite (ReleaseScreen).
void ReleaseDrawing();
// Ends the current drawing if it holds the back buffer and settles it (PresentFrame,
// before it shows the frame).
void ReleaseBackBufferDrawing();
// Writes all work on the back buffer that drawing put off.
void SettleBackBuffer();
// Drawing state, sprite tables and filtering back to their start values (ResetPlatform).
void ResetDrawing();
