// Scaled sprites: a sprite's image stretched over the back buffer and blended
// with an opacity. Destination pixel centres map onto source texel centres;
// black texels are keyed out, and with bilinear filtering they take their share
// of the coverage with them, so edges fade instead of darkening.
#include <algorithm>

#include "platform/display.h"
#include "platform/draw/draw_state.h"

int32_t scaledFiltering = 0;
bool scaledPassOpen = false;

namespace {

int64_t FloorDiv(int64_t n, int64_t d) {  // d > 0
    int64_t q = n / d;
    if (n % d != 0 && n < 0) {
        --q;
    }
    return q;
}

ScaledSprite* FindScaled(int32_t scaledNumber) {
    if (scaledNumber < 0 || static_cast<std::size_t>(scaledNumber) >= scaledTable.size()) {
        return nullptr;
    }
    return &scaledTable[static_cast<std::size_t>(scaledNumber)];
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
        const int64_t position = FloorDiv(((2 * t + 1) * sourceSize - size) * 256, 2 * size);
        const int64_t i0 = FloorDiv(position, 256);
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

// target = colour x opacity / 255 + target x (1 - coverage x opacity / 255), with
// colour premultiplied by coverage. Channels are in 1/256 after the vertical step.
void BlendRow(const FilteredRow& upper, const FilteredRow& lower, uint32_t fy, uint32_t opacity,
              uint32_t* target, std::size_t visible) {
    constexpr uint32_t FULL = 255u * 256u;
    const uint32_t fu = 256 - fy;
    for (std::size_t k = 0; k < visible; ++k) {
        const uint32_t coverage = (upper.coverage[k] * fu + lower.coverage[k] * fy) >> 8;
        if (coverage == 0) {
            continue;
        }
        const uint32_t red = (upper.red[k] * fu + lower.red[k] * fy) >> 8;
        const uint32_t green = (upper.green[k] * fu + lower.green[k] * fy) >> 8;
        const uint32_t blue = (upper.blue[k] * fu + lower.blue[k] * fy) >> 8;
        const uint32_t keep = FULL - opacity * coverage;
        const uint32_t old = target[k];
        const uint32_t newRed = (red * opacity + (old & 0xFFu) * keep + FULL / 2) / FULL;
        const uint32_t newGreen = (green * opacity + ((old >> 8) & 0xFFu) * keep + FULL / 2) / FULL;
        const uint32_t newBlue = (blue * opacity + ((old >> 16) & 0xFFu) * keep + FULL / 2) / FULL;
        target[k] = newRed | newGreen << 8 | newBlue << 16;
    }
}

}  // namespace

int32_t InitScaledSprites() {
    scaledTable.clear();
    scaledPassOpen = false;
    return 1;
}

int32_t MakeScaledSprite(int32_t scaledNumber, int32_t spriteNumber) {
    const Sprite* sprite = FindSprite(spriteNumber);
    if (sprite == nullptr || sprite->image.pixels.empty() || sprite->mode != SPRITE_MODE_TEXTURE) {
        return 0;
    }
    if (scaledNumber < 0 || scaledNumber > MAX_TABLE_NUMBER) {
        return 0;
    }
    while (static_cast<std::size_t>(scaledNumber) >= scaledTable.size()) {
        scaledTable.resize(scaledTable.size() + TABLE_STEP);
    }
    scaledTable[static_cast<std::size_t>(scaledNumber)] =
        ScaledSprite{true, spriteNumber, sprite->image.width, sprite->image.height};
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
    if (drawState.targetKind == DRAW_TARGET_BACK_BUFFER || backBuffer.pixels.empty()) {
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
    const int64_t columnEnd = std::min<int64_t>(int64_t{x} + scaled->width, backBuffer.width);
    const int64_t rowFirst = std::max<int64_t>(y, 0);
    const int64_t rowEnd = std::min<int64_t>(int64_t{y} + scaled->height, backBuffer.height);
    if (columnFirst >= columnEnd || rowFirst >= rowEnd) {
        return;
    }
    const Surface& image = sprite->image;
    const bool bilinear = scaledFiltering != 0;
    Taps columns;
    Taps rows;
    MapAxis(x, scaled->width, columnFirst, columnEnd, image.width, bilinear, columns);
    MapAxis(y, scaled->height, rowFirst, rowEnd, image.height, bilinear, rows);

    // Rows of the image filtered horizontally once and kept while the destination
    // rows still use them: an enlargement shares each source row among many rows.
    const auto visible = static_cast<std::size_t>(columnEnd - columnFirst);
    FilteredRow upper, lower;
    for (int64_t row = rowFirst; row < rowEnd; ++row) {
        const auto r = static_cast<std::size_t>(row - rowFirst);
        if (upper.sourceRow != rows.first[r]) {
            if (lower.sourceRow == rows.first[r]) {
                std::swap(upper, lower);
            } else {
                FilterRow(image, rows.first[r], columns, visible, upper);
            }
        }
        if (lower.sourceRow != rows.second[r]) {
            FilterRow(image, rows.second[r], columns, visible, lower);
        }
        BlendRow(upper, lower, static_cast<uint32_t>(rows.weight[r]), static_cast<uint32_t>(alpha),
                 backBuffer.pixels.data() + row * backBuffer.width + columnFirst, visible);
    }
}
