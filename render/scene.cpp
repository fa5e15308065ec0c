#include "render/scene.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/coordinates.h"
#include "core/game_state.h"
#include "core/world.h"
#include "platform/display.h"

static constexpr int32_t BACKGROUND_OPACITY = 128;
static constexpr int32_t ANCHOR_RADIUS = 5;
static constexpr int32_t JOINT_RADIUS = 4;

void DrawLevelBackground() {
    BeginScaledPass();
    SetScaledSize(levelNumber, 20 * gridWidth, 20 * gridHeight);
    ShowScaledSprite(levelNumber, viewOffsetX, viewOffsetY, BACKGROUND_OPACITY);
    EndScaledPass();
}

// Column lines are drawn a band of rows at a time, every line through one band
// before the next: a whole column at once would touch a new cache line with each
// pixel, which made the grid the costliest part of an idle frame.
static constexpr int64_t GRID_BAND_ROWS = 32;

void DrawGridLines() {
    BeginDraw(BackBufferTarget());
    SetDrawFlags(DRAW_TRANSPARENT_TEXT);
    struct GridPass {
        int32_t grey;
        int32_t step;
    };
    std::vector<int32_t> columns;
    // Later passes draw over earlier ones: every 4th line lighter, every 8th lighter still.
    for (const GridPass pass : {GridPass{80, 1}, GridPass{120, 4}, GridPass{160, 8}}) {
        SetPenColour(pass.grey, pass.grey, pass.grey);
        const int32_t top = viewOffsetY;
        const int32_t left = viewOffsetX;
        // Only what lies on the screen: the rest would be clipped away.
        columns.clear();
        for (int32_t i = 0; i <= gridWidth; i += pass.step) {
            const int64_t x = int64_t{20} * i + viewOffsetX;
            if (x >= 0 && x < SCREEN_WIDTH) columns.push_back(static_cast<int32_t>(x));
        }
        const int64_t firstRow = std::max<int64_t>(top, 0);
        const int64_t endRow = std::min<int64_t>(int64_t{top} + int64_t{20} * gridHeight, SCREEN_HEIGHT);
        for (int64_t band = firstRow; band < endRow; band += GRID_BAND_ROWS) {
            const auto rows = static_cast<int32_t>(std::min(GRID_BAND_ROWS, endRow - band));
            for (const int32_t x : columns) DrawSegment(x, static_cast<int32_t>(band), 0, rows);
        }
        for (int32_t j = 0; j <= gridHeight; j += pass.step) {
            DrawSegment(left, ClampToPixel(int64_t{20} * j + viewOffsetY), 20 * gridWidth, 0);
        }
    }
}

void DrawNodes() {
    const uint32_t anchorColour = MakeColour(255, 255, 255);
    const uint32_t jointColour = MakeColour(0, 255, 0);
    for (int32_t i = 0; i <= gridWidth; ++i) {
        for (int32_t j = 0; j <= gridHeight; ++j) {
            const Node& n = NodeAt(i, j);
            if (n.kind == NODE_EMPTY) continue;
            const int32_t cx = RoundToPixel(static_cast<double>(n.x) + viewOffsetX);
            const int32_t cy = RoundToPixel(static_cast<double>(n.y) + viewOffsetY);
            if (n.kind == NODE_ANCHOR) {
                DrawCircle(cx, cy, ANCHOR_RADIUS, anchorColour);
            } else if (n.kind == NODE_JOINT) {
                DrawCircle(cx, cy, JOINT_RADIUS, jointColour);
            }
        }
    }
}

void DrawBeams() {
    SetDrawFlags(DRAW_TRANSPARENT_TEXT);
    for (const Beam& beam : beamList) {
        if (beam.intact == 0) continue;
        const uint32_t colour = BeamForceColour(beam.loadFactor);
        const Node& a = NodeAt(beam.ax, beam.ay);
        const Node& b = NodeAt(beam.bx, beam.by);
        const double ax = static_cast<double>(a.x) + viewOffsetX;
        const double ay = static_cast<double>(a.y) + viewOffsetY;
        const double bx = static_cast<double>(b.x) + viewOffsetX;
        const double by = static_cast<double>(b.y) + viewOffsetY;
        // The shift is added before rounding: a stroke about three pixels wide.
        for (const double d : {-1.0, 0.0, 1.0}) {
            DrawSegmentBetween(RoundToPixel(ax + d), RoundToPixel(ay), RoundToPixel(bx + d), RoundToPixel(by),
                               colour);
        }
        for (const double d : {-1.0, 1.0}) {
            DrawSegmentBetween(RoundToPixel(ax), RoundToPixel(ay + d), RoundToPixel(bx), RoundToPixel(by + d),
                               colour);
        }
    }
}

static int32_t RoundComponent(double value) {
    return static_cast<int32_t>(std::nearbyint(value));
}

uint32_t BeamForceColour(float loadFactor) {
    // A load that is not a number (a beam torn apart beyond float range) shows as full tension.
    const double s = std::isnan(loadFactor) ? 0.0 : static_cast<double>(loadFactor);
    if (s >= 1.0) {
        return MakeColour(55 + RoundComponent(200.0 * (1.0 - 1.0 / s)),
                          55 + RoundComponent(200.0 * (1.0 / s)), 55);
    }
    return MakeColour(55, 55 + RoundComponent(200.0 * s), 55 + RoundComponent(200.0 * (1.0 - s)));
}
