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

    constexpr uint64_t FULL = 255u * 65536u;
    for (int64_t row = rowFirst; row < rowEnd; ++row) {
        const auto r = static_cast<std::size_t>(row - rowFirst);
        const uint32_t* top = image.pixels.data() + static_cast<std::size_t>(rows.first[r]) * image.width;
        const uint32_t* bottom = image.pixels.data() + static_cast<std::size_t>(rows.second[r]) * image.width;
        const auto fy = static_cast<uint64_t>(rows.weight[r]);
        uint32_t* target = backBuffer.pixels.data() + row * backBuffer.width;
        for (int64_t column = columnFirst; column < columnEnd; ++column) {
            const auto c = static_cast<std::size_t>(column - columnFirst);
            const auto fx = static_cast<uint64_t>(columns.weight[c]);
            const uint32_t taps[4] = {top[columns.first[c]], top[columns.second[c]], bottom[columns.first[c]],
                                      bottom[columns.second[c]]};
            const uint64_t weights[4] = {(256 - fx) * (256 - fy), fx * (256 - fy), (256 - fx) * fy, fx * fy};
            uint64_t coverage = 0;
            uint64_t sum[3] = {0, 0, 0};
            for (int k = 0; k < 4; ++k) {
                if (taps[k] != 0) {
                    coverage += weights[k];
                    sum[0] += weights[k] * (taps[k] & 0xFFu);
                    sum[1] += weights[k] * ((taps[k] >> 8) & 0xFFu);
                    sum[2] += weights[k] * ((taps[k] >> 16) & 0xFFu);
                }
            }
            if (coverage == 0) {
                continue;
            }
            const uint64_t keep = FULL - alpha * coverage;
            const uint32_t old = target[column];
            uint32_t blended = 0;
            for (int k = 0; k < 3; ++k) {
                const uint64_t d = (old >> (8 * k)) & 0xFFu;
                blended |= static_cast<uint32_t>((sum[k] * alpha + d * keep + FULL / 2) / FULL) << (8 * k);
            }
            target[column] = blended;
        }
    }
}
