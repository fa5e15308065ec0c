// A scaled sprite's stretched picture, worked out once and kept, and its blend onto
// the back buffer a row at a time.
#include "platform/draw/blend_layer.h"

#include <algorithm>
#include <cstring>

#include "platform/draw/draw_math.h"

namespace {

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

[[gnu::noinline]] void FilterRow(const Surface& image, int32_t sourceRow, const Taps& columns,
                                 std::size_t visible, FilteredRow& out) {
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
// One destination row of the layer: the colour over black, colour x opacity / 255
// rounded, and the share of the old pixel kept, 1 - coverage x opacity / 255 in
// 1/FULL. Channels are in 1/256 after the vertical step. A call of its own per row,
// as is FilterRow: a browser's WebAssembly engine swaps in optimised code only at a
// call, so the first layer, a whole screen of rows, gets it after a few of them.
[[gnu::noinline]] void LayerRow(const FilteredRow& upper, const FilteredRow& lower, uint32_t fy,
                                uint32_t opacity, std::size_t row, BlendLayer& layer) {
    const uint32_t fu = 256 - fy;
    uint32_t* colour = layer.colour.items.get() + row * layer.columns;
    uint16_t* keep = layer.keep.items.get() + row * layer.columns;
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

}  // namespace

void BuildLayer(const Surface& image, int32_t width, int32_t height, const BlendLayerKey& key,
                int64_t columnFirst, int64_t columnEnd, int64_t rowFirst, int64_t rowEnd, BlendLayer& layer) {
    const bool bilinear = key.filtering != 0;
    Taps columns;
    Taps rows;
    MapAxis(0, width, columnFirst, columnEnd, image.width, bilinear, columns);
    MapAxis(0, height, rowFirst, rowEnd, image.height, bilinear, rows);
    layer.key = key;
    layer.columnFirst = columnFirst;
    layer.rowFirst = rowFirst;
    layer.columns = static_cast<std::size_t>(columnEnd - columnFirst);
    layer.rows = static_cast<std::size_t>(rowEnd - rowFirst);
    ReservePixels(layer.colour, layer.columns * layer.rows);
    ReservePixels(layer.keep, layer.columns * layer.rows);
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

namespace {

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

}  // namespace

// Blends the layer's part that falls on screen row `row` and columns [columnFirst,
// columnEnd), the sprite's top-left corner being at (x, y). `clearToBlack`: the row is
// cleared as well, in the same pass, so that each pixel is written once: black
// between the layer's spans, the layer's colour over black inside them.
void ApplyLayerRow(Surface& screen, const BlendLayer& layer, int64_t x, int64_t y, int64_t columnFirst,
                   int64_t columnEnd, int64_t row, bool clearToBlack) {
    const int64_t shift = layer.columnFirst + x;  // screen column of the layer's column 0
    const auto r = static_cast<std::size_t>(row - y - layer.rowFirst);
    uint32_t* screenRow = screen.pixels.data() + row * screen.width;
    const uint32_t* colour = layer.colour.items.get() + r * layer.columns;
    const uint16_t* keep = layer.keep.items.get() + r * layer.columns;
    int64_t cleared = 0;  // with clearToBlack: the columns left of it are written
    for (std::size_t span = r == 0 ? 0 : layer.rowSpanEnd[r - 1]; span < layer.rowSpanEnd[r]; span += 2) {
        const int64_t first = std::max<int64_t>(layer.spans[span] + shift, columnFirst);
        const int64_t end = std::min<int64_t>(layer.spans[span + 1] + shift, columnEnd);
        if (first >= end) continue;
        uint32_t* target = screenRow + first;
        const auto count = static_cast<std::size_t>(end - first);
        const auto from = static_cast<std::size_t>(first - shift);
        if (clearToBlack) {
            // Spans run left to right, so the gap before this one is not yet written.
            std::memset(screenRow + cleared, 0, static_cast<std::size_t>(first - cleared) * sizeof(uint32_t));
            std::copy(colour + from, colour + from + count, target);
            cleared = end;
            continue;
        }
        uint32_t anyLit = 0;
        for (std::size_t k = 0; k < count; ++k) anyLit |= target[k];
        if (anyLit == 0) {
            std::copy(colour + from, colour + from + count, target);
            continue;
        }
        for (std::size_t k = 0; k < count; ++k) {
            const uint32_t old = target[k];
            target[k] = old == 0 ? colour[from + k] : BlendPixel(colour[from + k], old, keep[from + k]);
        }
    }
    if (clearToBlack) {
        std::memset(screenRow + cleared, 0,
                    static_cast<std::size_t>(screen.width - cleared) * sizeof(uint32_t));
    }
}
