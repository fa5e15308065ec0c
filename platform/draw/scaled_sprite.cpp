// Scaled sprites: a sprite's image stretched over the back buffer and blended
// with an opacity. Destination pixel centres map onto source texel centres;
// black texels are keyed out, and with bilinear filtering they take their share
// of the coverage with them, so edges fade instead of darkening.
#include <algorithm>
#include <vector>

#include "platform/display.h"
#include "platform/draw/blend_layer.h"
#include "platform/draw/draw_state.h"
#include "platform/draw/numbered_table.h"

namespace {

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

// Worked out this far beyond the visible part: 16 frames of edge scrolling.
constexpr int64_t LAYER_MARGIN = 160;

ScaledSprite* FindScaled(int32_t scaledNumber) {
    return FindNumberedEntry(scaledTable, scaledNumber);
}

}  // namespace

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
        // The first picture waits for its layer, so that one gets the visible part
        // alone, at half the work; the margin comes with the first scroll.
        const int64_t margin = layer.valid ? LAYER_MARGIN : 0;
        BuildLayer(sprite->image, scaled->width, scaled->height, key,
                   std::max<int64_t>(spriteColumnFirst - margin, 0),
                   std::min<int64_t>(spriteColumnEnd + margin, scaled->width),
                   std::max<int64_t>(spriteRowFirst - margin, 0),
                   std::min<int64_t>(spriteRowEnd + margin, scaled->height), layer);
    }
    DeferBlend(DeferredBlend{&layer, x, y, columnFirst, columnEnd, rowFirst, rowEnd});
}
