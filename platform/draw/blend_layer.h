// Inside the software renderer: a scaled sprite's stretched picture over black, kept
// between frames, and its blend onto the back buffer's rows.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/draw/surface.h"

// Everything a scaled sprite's stretched picture depends on, apart from where it
// is shown and what the back buffer already holds.
struct BlendLayerKey {
    uint64_t imageEdits = 0;
    int32_t width = 0, height = 0, opacity = 0, filtering = 0;
    bool operator==(const BlendLayerKey&) const = default;
};

// A part of a scaled sprite's stretched picture, in the sprite's own pixels: for
// each pixel its colour over black and the share of the old screen pixel that it
// keeps, and per row the spans of pixels it covers at all. Kept between frames:
// the background usually stays put, and while the view scrolls the margin around
// the visible part lasts for a while.
struct BlendLayer {
    bool valid = false;
    BlendLayerKey key;
    int64_t columnFirst = 0, rowFirst = 0;  // sprite pixels, (0, 0) at the top-left corner
    std::size_t columns = 0, rows = 0;
    // columns x rows, valid inside the spans only: the layer writes each pixel of its
    // spans before anything reads it, and never touches the rest.
    UnclearedPixels<uint32_t> colour;
    UnclearedPixels<uint16_t> keep;
    std::vector<uint32_t> spans;       // pairs of [first, end) columns, row by row
    std::vector<uint32_t> rowSpanEnd;  // per row: end index of its pairs in spans
};

// Works out the layer for columns [columnFirst, columnEnd) and rows [rowFirst, rowEnd)
// of the image stretched to width x height.
void BuildLayer(const Surface& image, int32_t width, int32_t height, const BlendLayerKey& key,
                int64_t columnFirst, int64_t columnEnd, int64_t rowFirst, int64_t rowEnd, BlendLayer& layer);

// Blends the layer's part that falls on screen row `row` and columns [columnFirst,
// columnEnd), the sprite's top-left corner being at (x, y). `clearToBlack`: the row is
// cleared to black first, the clear and the blend written in one pass.
void ApplyLayerRow(Surface& screen, const BlendLayer& layer, int64_t x, int64_t y, int64_t columnFirst,
                   int64_t columnEnd, int64_t row, bool clearToBlack);

// A blend put off, and where: the layer's part on columns [columnFirst, columnEnd)
// and rows [rowFirst, rowEnd), its top-left corner at (x, y).
struct DeferredBlend {
    const BlendLayer* layer = nullptr;
    int64_t x = 0, y = 0, columnFirst = 0, columnEnd = 0, rowFirst = 0, rowEnd = 0;
};
