#include "render/scene.h"

#include <cmath>

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

void DrawGridLines() {
    SetDrawFlags(DRAW_TRANSPARENT_TEXT);
    struct GridPass {
        int32_t grey;
        int32_t step;
    };
    // Later passes draw over earlier ones: every 4th line lighter, every 8th lighter still.
    for (const GridPass pass : {GridPass{80, 1}, GridPass{120, 4}, GridPass{160, 8}}) {
        SetPenColour(pass.grey, pass.grey, pass.grey);
        for (int32_t i = 0; i <= gridWidth; i += pass.step) {
            DrawSegment(ScreenXOfColumn(i), editor.viewOffsetY, 0, GRID_SPACING_PIXELS * gridHeight);
        }
        for (int32_t j = 0; j <= gridHeight; j += pass.step) {
            DrawSegment(editor.viewOffsetX, ScreenYOfRow(j), GRID_SPACING_PIXELS * gridWidth, 0);
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
    for (const Beam& beam : beamList) {
        if (beam.intact == 0) continue;
        const uint32_t colour = BeamForceColour(beam.loadFactor);
        const Node& a = NodeAt(beam.ax, beam.ay);
        const Node& b = NodeAt(beam.bx, beam.by);
        const auto stroke = StrokeSegments(
            static_cast<double>(a.x) + editor.viewOffsetX, static_cast<double>(a.y) + editor.viewOffsetY,
            static_cast<double>(b.x) + editor.viewOffsetX, static_cast<double>(b.y) + editor.viewOffsetY);
        for (const PixelSegment& s : stroke) DrawSegmentBetween(s.x1, s.y1, s.x2, s.y2, colour);
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
