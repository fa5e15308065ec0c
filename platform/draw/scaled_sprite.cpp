// Scaled sprites: a sprite's image stretched over the back buffer and blended
// with an opacity. Destination pixel centres map onto source texel centres;
// black texels are keyed out, and with bilinear filtering they take their share
// of the coverage with them, so edges fade instead of darkening.
#include <algorithm>
#include <vector>

#include "platform/display.h"
#include "platform/draw/draw_math.h"
#include "platform/draw/draw_state.h"
#include "platform/draw/numbered_table.h"

namespace {

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
    std::vector<uint32_t> colour;
    std::vector<uint16_t> keep;
    std::vector<uint32_t> spans;       // pairs of [first, end) columns, row by row
    std::vector<uint32_t> rowSpanEnd;  // per row: end index of its pairs in spans
};

struct ScaledSprite {
    bool made = false;
    int32_t spriteNumber = 0;
    int32_t width = 0;
    int32_t height = 0;
    BlendLayer layer;
};

std::vector<ScaledSprite> scaledTable;
int32_t scaledFiltering = 0;
bool scaledPassOpen = false;

ScaledSprite* FindScaled(int32_t scaledNumber) {
    return FindNumberedEntry(scaledTable, scaledNumber);
}

// For each visible destination column (or row): the two source taps and the
// weight of the second one in 1/256.
struct Taps {
    std::vector<int32_t> first;
    std::vector<int32_t> second;
    std::vector<int32_t> weight;
};

void MapAxis(int64_t origin, int64_t size, int64_t visibleFirst, int64_t visibleEnd, int32_t sourceSize,
             bool bilinear, Taps& taps) {
    const auto count = static_cast<std::size_t>(visibleEnd - visibleFirst);
    taps.first.resize(count);
    taps.second.resize(count);
    taps.weight.resize(count);
    for (std::size_t k = 0; k < count; ++k) {
        const int64_t t = visibleFirst + static_cast<int64_t>(k) - origin;  // 0 <= t < size
        if (!bilinear) {
            const int64_t texel = std::min<int64_t>((2 * t + 1) * sourceSize / (2 * size), sourceSize - 1);
            taps.first[k] = taps.second[k] = static_cast<int32_t>(texel);
            taps.weight[k] = 0;
            continue;
        }
        // Position in texel units, less half a texel: texel i's centre sits at i.
        const int64_t position = FloorDiv<int64_t>(((2 * t + 1) * sourceSize - size) * 256, 2 * size);
        const int64_t i0 = FloorDiv<int64_t>(position, 256);
        taps.first[k] = static_cast<int32_t>(std::clamp<int64_t>(i0, 0, sourceSize - 1));
        taps.second[k] = static_cast<int32_t>(std::clamp<int64_t>(i0 + 1, 0, sourceSize - 1));
        taps.weight[k] = static_cast<int32_t>(position - i0 * 256);
    }
}

// One source row filtered horizontally onto the visible destination columns:
// colour premultiplied by coverage, each channel and the coverage in 1/256.
struct FilteredRow {
    int32_t sourceRow = -1;
    std::vector<uint32_t> red, green, blue, coverage;
};

void FilterRow(const Surface& image, int32_t sourceRow, const Taps& columns, std::size_t visible,
               FilteredRow& out) {
    out.sourceRow = sourceRow;
    out.red.resize(visible);
    out.green.resize(visible);
    out.blue.resize(visible);
    out.coverage.resize(visible);
    const uint32_t* texels = image.pixels.data() + static_cast<std::size_t>(sourceRow) * image.width;
    for (std::size_t k = 0; k < visible; ++k) {
        const uint32_t a = texels[columns.first[k]];
        const uint32_t b = texels[columns.second[k]];
        const auto wb = static_cast<uint32_t>(columns.weight[k]);
        const uint32_t wa = 256 - wb;
        // Black texels add no colour by themselves; they must add no coverage either.
        out.red[k] = (a & 0xFFu) * wa + (b & 0xFFu) * wb;
        out.green[k] = ((a >> 8) & 0xFFu) * wa + ((b >> 8) & 0xFFu) * wb;
        out.blue[k] = ((a >> 16) & 0xFFu) * wa + ((b >> 16) & 0xFFu) * wb;
        out.coverage[k] = (a != 0 ? wa : 0) + (b != 0 ? wb : 0);
    }
}

constexpr uint32_t FULL = 255u * 256u;  // opacity x coverage at their largest
// Worked out this far beyond the visible part: 16 frames of edge scrolling.
constexpr int64_t LAYER_MARGIN = 160;

// One destination row of the layer: the colour over black, colour x opacity / 255
// rounded, and the share of the old pixel kept, 1 - coverage x opacity / 255 in
// 1/FULL. Channels are in 1/256 after the vertical step.
void LayerRow(const FilteredRow& upper, const FilteredRow& lower, uint32_t fy, uint32_t opacity,
              std::size_t row, BlendLayer& layer) {
    const uint32_t fu = 256 - fy;
    uint32_t* colour = layer.colour.data() + row * layer.columns;
    uint16_t* keep = layer.keep.data() + row * layer.columns;
    bool inSpan = false;
    for (std::size_t k = 0; k < layer.columns; ++k) {
        const uint32_t coverage = (upper.coverage[k] * fu + lower.coverage[k] * fy) >> 8;
        if (coverage == 0) {
            if (inSpan) layer.spans.push_back(static_cast<uint32_t>(k));
            inSpan = false;
            continue;
        }
        if (!inSpan) layer.spans.push_back(static_cast<uint32_t>(k));
        inSpan = true;
        const uint32_t red = (upper.red[k] * fu + lower.red[k] * fy) >> 8;
        const uint32_t green = (upper.green[k] * fu + lower.green[k] * fy) >> 8;
        const uint32_t blue = (upper.blue[k] * fu + lower.blue[k] * fy) >> 8;
        colour[k] = (red * opacity + FULL / 2) / FULL | ((green * opacity + FULL / 2) / FULL) << 8 |
                    ((blue * opacity + FULL / 2) / FULL) << 16;
        keep[k] = static_cast<uint16_t>(FULL - opacity * coverage);
    }
    if (inSpan) layer.spans.push_back(static_cast<uint32_t>(layer.columns));
    layer.rowSpanEnd[row] = static_cast<uint32_t>(layer.spans.size());
}

void BuildLayer(const Surface& image, const ScaledSprite& scaled, const BlendLayerKey& key,
                int64_t columnFirst, int64_t columnEnd, int64_t rowFirst, int64_t rowEnd, BlendLayer& layer) {
    const bool bilinear = key.filtering != 0;
    Taps columns;
    Taps rows;
    MapAxis(0, scaled.width, columnFirst, columnEnd, image.width, bilinear, columns);
    MapAxis(0, scaled.height, rowFirst, rowEnd, image.height, bilinear, rows);
    layer.key = key;
    layer.columnFirst = columnFirst;
    layer.rowFirst = rowFirst;
    layer.columns = static_cast<std::size_t>(columnEnd - columnFirst);
    layer.rows = static_cast<std::size_t>(rowEnd - rowFirst);
    layer.colour.resize(layer.columns * layer.rows);
    layer.keep.resize(layer.columns * layer.rows);
    layer.spans.clear();
    layer.rowSpanEnd.resize(layer.rows);

    // Rows of the image filtered horizontally once and kept while the destination
    // rows still use them: an enlargement shares each source row among many rows.
    FilteredRow upper, lower;
    for (std::size_t r = 0; r < layer.rows; ++r) {
        if (upper.sourceRow != rows.first[r]) {
            if (lower.sourceRow == rows.first[r]) {
                std::swap(upper, lower);
            } else {
                FilterRow(image, rows.first[r], columns, layer.columns, upper);
            }
        }
        if (lower.sourceRow != rows.second[r]) {
            FilterRow(image, rows.second[r], columns, layer.columns, lower);
        }
        LayerRow(upper, lower, static_cast<uint32_t>(rows.weight[r]), static_cast<uint32_t>(key.opacity), r,
                 layer);
    }
    layer.valid = true;
}

// target = image x opacity / 255 + target x (1 - coverage x opacity / 255), the two
// terms rounded each by itself. Over black (the cleared screen, nearly every
// pixel) that is the layer's colour as it stands.
uint32_t BlendPixel(uint32_t colour, uint32_t old, uint32_t keep) {
    uint32_t result = 0;
    for (const int shift : {0, 8, 16}) {
        const uint32_t kept = (((old >> shift) & 0xFFu) * keep + FULL / 2) / FULL;
        result |= std::min(((colour >> shift) & 0xFFu) + kept, 255u) << shift;
    }
    return result;
}

// Blends the layer's part that falls on screen row `row` and columns [columnFirst,
// columnEnd), the sprite's top-left corner being at (x, y). `overBlack`: the row is
// known to be black, just cleared.
void ApplyLayerRow(Surface& screen, const BlendLayer& layer, int64_t x, int64_t y, int64_t columnFirst,
                   int64_t columnEnd, int64_t row, bool overBlack) {
    const int64_t shift = layer.columnFirst + x;  // screen column of the layer's column 0
    const auto r = static_cast<std::size_t>(row - y - layer.rowFirst);
    uint32_t* screenRow = screen.pixels.data() + row * screen.width;
    const uint32_t* colour = layer.colour.data() + r * layer.columns;
    const uint16_t* keep = layer.keep.data() + r * layer.columns;
    for (std::size_t span = r == 0 ? 0 : layer.rowSpanEnd[r - 1]; span < layer.rowSpanEnd[r]; span += 2) {
        const int64_t first = std::max<int64_t>(layer.spans[span] + shift, columnFirst);
        const int64_t end = std::min<int64_t>(layer.spans[span + 1] + shift, columnEnd);
        if (first >= end) continue;
        uint32_t* target = screenRow + first;
        const auto count = static_cast<std::size_t>(end - first);
        const auto from = static_cast<std::size_t>(first - shift);
        uint32_t anyLit = 0;
        for (std::size_t k = 0; k < count && !overBlack; ++k) anyLit |= target[k];
        if (anyLit == 0) {
            std::copy(colour + from, colour + from + count, target);
            continue;
        }
        for (std::size_t k = 0; k < count; ++k) {
            const uint32_t old = target[k];
            target[k] = old == 0 ? colour[from + k] : BlendPixel(colour[from + k], old, keep[from + k]);
        }
    }
}

// The blend ShowScaledSprite put off, and where.
struct DeferredBlend {
    int32_t scaledNumber = 0;
    int64_t x = 0, y = 0, columnFirst = 0, columnEnd = 0, rowFirst = 0, rowEnd = 0;
};
DeferredBlend deferredBlend;

}  // namespace

void BlendDeferredRow(Surface& backBuffer, int64_t row, bool overBlack) {
    const DeferredBlend& b = deferredBlend;
    if (row < b.rowFirst || row >= b.rowEnd) return;
    ApplyLayerRow(backBuffer, scaledTable[static_cast<std::size_t>(b.scaledNumber)].layer, b.x, b.y,
                  b.columnFirst, b.columnEnd, row, overBlack);
}

// The table holds the layer a deferred blend reads: it is written before the table changes.
void ReleaseScaledSprites() {
    SettledBackBuffer();
    scaledPassOpen = false;
    scaledTable.clear();
}

int32_t InitScaledSprites() {
    ReleaseScaledSprites();
    return 1;
}

int32_t MakeScaledSprite(int32_t scaledNumber, int32_t spriteNumber) {
    const Sprite* sprite = FindSprite(spriteNumber);
    if (sprite == nullptr || sprite->image.pixels.empty() || sprite->mode != SPRITE_MODE_TEXTURE) {
        return 0;
    }
    SettledBackBuffer();
    if (!GrowNumberedTable(scaledTable, scaledNumber)) {
        return 0;
    }
    scaledTable[static_cast<std::size_t>(scaledNumber)] =
        ScaledSprite{true, spriteNumber, sprite->image.width, sprite->image.height, BlendLayer{}};
    return 1;
}

void SetScaledSize(int32_t scaledNumber, int32_t width, int32_t height) {
    ScaledSprite* scaled = FindScaled(scaledNumber);
    if (scaled == nullptr || !scaled->made) {
        return;
    }
    scaled->width = width;
    scaled->height = height;
}

// A drawing on the back buffer holds it; the pass cannot begin until it ends.
int32_t BeginScaledPass() {
    if (drawState.targetKind == DRAW_TARGET_BACK_BUFFER || BackBufferWidth() == 0 ||
        BackBufferHeight() == 0) {
        return 0;
    }
    scaledPassOpen = true;
    return 1;
}

void EndScaledPass() {
    scaledPassOpen = false;
}

void SetScaledFiltering(int32_t quality) {
    scaledFiltering = quality;
}

void ShowScaledSprite(int32_t scaledNumber, int32_t x, int32_t y, int32_t opacity) {
    const ScaledSprite* scaled = FindScaled(scaledNumber);
    if (!scaledPassOpen || scaled == nullptr || !scaled->made) {
        return;
    }
    const Sprite* sprite = FindSprite(scaled->spriteNumber);
    if (sprite == nullptr || sprite->image.pixels.empty() || scaled->width <= 0 || scaled->height <= 0) {
        return;
    }
    const auto alpha = static_cast<uint64_t>(std::clamp(opacity, 0, 255));
    if (alpha == 0) {
        return;
    }
    const int64_t columnFirst = std::max<int64_t>(x, 0);
    const int64_t columnEnd = std::min<int64_t>(int64_t{x} + scaled->width, BackBufferWidth());
    const int64_t rowFirst = std::max<int64_t>(y, 0);
    const int64_t rowEnd = std::min<int64_t>(int64_t{y} + scaled->height, BackBufferHeight());
    if (columnFirst >= columnEnd || rowFirst >= rowEnd) {
        return;
    }
    // The blend is put off, to be written row by row with a clear that is still wholly
    // pending. One blend at a time, and the layer of an earlier one may be rebuilt below.
    if (!CanDeferBlend()) SettledBackBuffer();
    const BlendLayerKey key{SpriteImageEdits(), scaled->width, scaled->height, static_cast<int32_t>(alpha),
                            scaledFiltering};
    // The visible part in the sprite's own pixels.
    const int64_t spriteColumnFirst = columnFirst - x;
    const int64_t spriteColumnEnd = columnEnd - x;
    const int64_t spriteRowFirst = rowFirst - y;
    const int64_t spriteRowEnd = rowEnd - y;
    BlendLayer& layer = scaledTable[static_cast<std::size_t>(scaledNumber)].layer;
    const bool covered = spriteColumnFirst >= layer.columnFirst && spriteRowFirst >= layer.rowFirst &&
                         spriteColumnEnd <= layer.columnFirst + static_cast<int64_t>(layer.columns) &&
                         spriteRowEnd <= layer.rowFirst + static_cast<int64_t>(layer.rows);
    // A drawing still open on a sprite may change its image at any moment.
    const bool spriteBeingDrawn = drawState.targetKind == DRAW_TARGET_SPRITE;
    if (!layer.valid || !(layer.key == key) || !covered || spriteBeingDrawn) {
        BuildLayer(sprite->image, *scaled, key, std::max<int64_t>(spriteColumnFirst - LAYER_MARGIN, 0),
                   std::min<int64_t>(spriteColumnEnd + LAYER_MARGIN, scaled->width),
                   std::max<int64_t>(spriteRowFirst - LAYER_MARGIN, 0),
                   std::min<int64_t>(spriteRowEnd + LAYER_MARGIN, scaled->height), layer);
    }
    deferredBlend = DeferredBlend{scaledNumber, x, y, columnFirst, columnEnd, rowFirst, rowEnd};
    DeferBlend();
}
