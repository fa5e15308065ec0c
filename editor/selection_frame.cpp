#include "editor/selection_frame.h"

#include <algorithm>
#include <cstdlib>

#include "editor/pointer.h"
#include "model/coordinates.h"
#include "model/game_state.h"
#include "model/world.h"
#include "platform/display.h"
#include "platform/input.h"

bool FrameExists() {
    return std::llabs(int64_t{editor.frameX1} - editor.frameX2) > FRAME_MIN_SIZE &&
           std::llabs(int64_t{editor.frameY1} - editor.frameY2) > FRAME_MIN_SIZE;
}

void TrackFrame() {
    if (editor.button2Gesture == GESTURE_PRESSED) {
        editor.frameX1 = editor.frameX2 = PointerWorldX();
        editor.frameY1 = editor.frameY2 = PointerWorldY();
    } else if (editor.button2Gesture == GESTURE_HELD || editor.button2Gesture == GESTURE_LONG_HELD) {
        editor.frameX2 = PointerWorldX();
        editor.frameY2 = PointerWorldY();
    }
}

static void DrawFrameBox(uint32_t colour) {
    const int32_t x = ScreenXOfWorld(editor.frameX1);
    const int32_t y = ScreenYOfWorld(editor.frameY1);
    const int32_t width = ClampToPixel(int64_t{editor.frameX2} - editor.frameX1);
    const int32_t height = ClampToPixel(int64_t{editor.frameY2} - editor.frameY1);
    DrawBox(x, y, width, height, colour);
}

void DrawFrameOutline() {
    SetDrawFlags(DRAW_OUTLINE);
    if (FrameExists()) DrawFrameBox(MakeColour(200, 50, 200));
}

void FrameFillAndDelete() {
    SetDrawFlags(DRAW_TRANSPARENT_TEXT);
    // Armed only once the drag has ended: while button 2 is busy, Delete does nothing.
    if (!FrameExists() || editor.button2Gesture != GESTURE_IDLE) return;
    DrawFrameBox(MakeColour(50, 10, 50));
    if (KeyDown(SCAN_DELETE) != 0) DeleteFramedJoints();
}

// Joints emptied by the current deletion; cleared again before it returns.
static bool emptiedJoint[GRID_NODES][GRID_NODES];

void DeleteFramedJoints() {
    const int32_t lowColumn = NearestGridIndex(std::min(editor.frameX1, editor.frameX2));
    const int32_t highColumn = NearestGridIndex(std::max(editor.frameX1, editor.frameX2));
    const int32_t lowRow = NearestGridIndex(std::min(editor.frameY1, editor.frameY2));
    const int32_t highRow = NearestGridIndex(std::max(editor.frameY1, editor.frameY2));
    // Only the strict interior of the rounded bounds, and only the in-use region.
    const int32_t firstColumn = std::max(lowColumn + 1, 0);
    const int32_t lastColumn = std::min(highColumn - 1, gridWidth);
    const int32_t firstRow = std::max(lowRow + 1, 0);
    const int32_t lastRow = std::min(highRow - 1, gridHeight);

    bool anyEmptied = false;
    for (int32_t c = firstColumn; c <= lastColumn; ++c) {
        for (int32_t r = firstRow; r <= lastRow; ++r) {
            Node& node = NodeAt(c, r);
            if (node.kind != NODE_JOINT) continue;
            node.kind = NODE_EMPTY;
            emptiedJoint[c][r] = true;
            anyEmptied = true;
        }
    }
    if (!anyEmptied) return;
    // One pass over the list removes the beams of every emptied joint: the same
    // beams, in the same order, as removing them joint by joint.
    RemoveBeamsWhere([](const Beam& beam) {
        return (IsInUseNode(beam.ax, beam.ay) && emptiedJoint[beam.ax][beam.ay]) ||
               (IsInUseNode(beam.bx, beam.by) && emptiedJoint[beam.bx][beam.by]);
    });
    for (int32_t c = firstColumn; c <= lastColumn; ++c) {
        std::fill(&emptiedJoint[c][firstRow], &emptiedJoint[c][lastRow] + 1, false);
    }
}
