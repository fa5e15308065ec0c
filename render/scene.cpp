#include "render/scene.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "model/coordinates.h"
#include "model/game_state.h"
#include "model/world.h"
#include "platform/display.h"

static constexpr int32_t BACKGROUND_OPACITY = 128;
static constexpr int32_t ANCHOR_RADIUS = 5;
static constexpr int32_t JOINT_RADIUS = 4;

void DrawLevelBackground() {
    BeginScaledPass();
    SetScaledSize(game.levelNumber, GRID_SPACING_PIXELS * gridWidth, GRID_SPACING_PIXELS * gridHeight);
    ShowScaledSprite(game.levelNumber, editor.viewOffsetX, editor.viewOffsetY, BACKGROUND_OPACITY);
    EndScaledPass();
}

// The grid is drawn a band of screen rows at a time: between two row lines, the column
// lines of each pass in its grey; on a row line's row, the passes in their order, column
// lines in a pass's grey, then that pass's row line. Drawing whole column lines instead
// touches a new cache line and page with every pixel, which made the grid the costliest
// part of an idle frame.
void DrawGridLines() {
    SetDrawFlags(DRAW_TRANSPARENT_TEXT);
    struct GridPass {
        int32_t grey;
        int32_t step;
        int32_t columnCount;
        int32_t columns[GRID_NODES];
    };
    // Later passes draw over earlier ones: every 4th line lighter, every 8th lighter still.
    GridPass passes[] = {{80, 1, 0, {}}, {120, 4, 0, {}}, {160, 8, 0, {}}};
    constexpr std::size_t PASS_COUNT = std::size(passes);
    for (std::size_t p = 0; p < PASS_COUNT; ++p) {
        GridPass& pass = passes[p];
        for (int32_t i = 0; i <= gridWidth; i += pass.step) {
            // A column that the next pass draws over (and so every later one, whose
            // steps are multiples of its step) is left to it.
            if (p + 1 < PASS_COUNT && i % passes[p + 1].step == 0) continue;
            // Only what lies on the screen: the rest would be clipped away.
            const int32_t x = ScreenXOfColumn(i);
            if (x >= 0 && x < SCREEN_WIDTH) pass.columns[pass.columnCount++] = x;
        }
    }
    const int64_t top = editor.viewOffsetY;
    // Column lines end just above the last row line.
    const int64_t height = int64_t{GRID_SPACING_PIXELS} * gridHeight;
    const int64_t firstRow = std::max<int64_t>(top, 0);
    const int64_t endRow = std::min<int64_t>(top + height + 1, SCREEN_HEIGHT);
    for (int64_t y = firstRow; y < endRow;) {
        const int64_t offset = y - top;
        if (offset % GRID_SPACING_PIXELS != 0) {
            // The rows up to the next row line: column lines only, each pass's its own.
            const int64_t bandEnd = std::min(y + GRID_SPACING_PIXELS - offset % GRID_SPACING_PIXELS, endRow);
            for (const GridPass& pass : passes) {
                SetPenColour(pass.grey, pass.grey, pass.grey);
                DrawPointsOnRows(static_cast<int32_t>(y), static_cast<int32_t>(bandEnd - y), pass.columns,
                                 pass.columnCount);
            }
            y = bandEnd;
            continue;
        }
        const int64_t gridRow = offset / GRID_SPACING_PIXELS;
        for (const GridPass& pass : passes) {
            SetPenColour(pass.grey, pass.grey, pass.grey);
            if (offset < height) DrawPointsOnRows(static_cast<int32_t>(y), 1, pass.columns, pass.columnCount);
            if (gridRow % pass.step == 0) {
                DrawSegment(editor.viewOffsetX, static_cast<int32_t>(y), GRID_SPACING_PIXELS * gridWidth, 0);
            }
        }
        ++y;
    }
}

void DrawNodes() {
    const uint32_t anchorColour = MakeColour(255, 255, 255);
    const uint32_t jointColour = MakeColour(0, 255, 0);
    for (int32_t i = 0; i <= gridWidth; ++i) {
        for (int32_t j = 0; j <= gridHeight; ++j) {
            const Node& n = NodeAt(i, j);
            if (n.kind == NODE_EMPTY) continue;
            const int32_t cx = RoundToPixel(static_cast<double>(n.x) + editor.viewOffsetX);
            const int32_t cy = RoundToPixel(static_cast<double>(n.y) + editor.viewOffsetY);
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
    const double offsetX = editor.viewOffsetX;
    const double offsetY = editor.viewOffsetY;
    for (const Beam& beam : beamList) {
        if (beam.intact == 0) continue;
        const Node& a = NodeAt(beam.ax, beam.ay);
        const Node& b = NodeAt(beam.bx, beam.by);
        DrawStroke(StrokeSegments(static_cast<double>(a.x) + offsetX, static_cast<double>(a.y) + offsetY,
                                  static_cast<double>(b.x) + offsetX, static_cast<double>(b.y) + offsetY),
                   BeamForceColour(beam.loadFactor));
    }
}

uint32_t BeamForceColour(float loadFactor) {
    // A load that is not a number (a beam torn apart beyond float range) shows as full tension.
    const double s = std::isnan(loadFactor) ? 0.0 : static_cast<double>(loadFactor);
    if (s >= 1.0) {
        return MakeColour(55 + RoundHalfEven(200.0 * (1.0 - 1.0 / s)), 55 + RoundHalfEven(200.0 * (1.0 / s)),
                          55);
    }
    return MakeColour(55, 55 + RoundHalfEven(200.0 * s), 55 + RoundHalfEven(200.0 * (1.0 - s)));
}
