#include "editor/beams.h"

#include <algorithm>
#include <cmath>

#include "core/coordinates.h"
#include "core/game_state.h"
#include "core/world.h"
#include "editor/pointer.h"
#include "editor/selection_frame.h"
#include "platform/display.h"
#include "platform/input.h"

int32_t cursorColumn = 0;
int32_t cursorRow = 0;
int32_t placingBeam = 0;
int32_t startColumn = 0;
int32_t startRow = 0;
int32_t endColumn = 0;
int32_t endRow = 0;
int32_t bandLength = 0;

void ResetEditorState() {
    cursorColumn = cursorRow = placingBeam = 0;
    startColumn = startRow = endColumn = endRow = bandLength = 0;
    ResetSelectionFrame();
}

int32_t NearestGridIndex(int32_t w) {
    // nearbyint rounds an exact half to the even integer in the default rounding mode.
    return static_cast<int32_t>(std::nearbyint(static_cast<double>(w) / static_cast<double>(GRID_SPACING)));
}

int32_t ScreenXOfColumn(int32_t column) {
    return ClampToPixel(int64_t{column} * 20 + viewOffsetX);
}
int32_t ScreenYOfRow(int32_t row) {
    return ClampToPixel(int64_t{row} * 20 + viewOffsetY);
}

void RemoveBeamsAtNode(int32_t column, int32_t row) {
    RemoveBeamsWhere([column, row](const Beam& beam) {
        return (beam.ax == column && beam.ay == row) || (beam.bx == column && beam.by == row);
    });
}

static bool BeamJoins(int32_t c1, int32_t r1, int32_t c2, int32_t r2) {
    return std::any_of(beamList.begin(), beamList.end(), [&](const Beam& beam) {
        return (beam.ax == c1 && beam.ay == r1 && beam.bx == c2 && beam.by == r2) ||
               (beam.ax == c2 && beam.ay == r2 && beam.bx == c1 && beam.by == r1);
    });
}

static bool BandLengthAccepted() {
    return bandLength >= BEAM_MIN_LENGTH && bandLength <= BEAM_MAX_LENGTH;
}

static void HandleButton1Click() {
    if (placingBeam == 0) {
        // The view scrolls without limit: a node outside the level cannot start a chain.
        if (IsInUseNode(cursorColumn, cursorRow) && NodeAt(cursorColumn, cursorRow).kind > NODE_EMPTY) {
            startColumn = cursorColumn;
            startRow = cursorRow;
            placingBeam = 1;
        }
        return;
    }
    const bool sameNode = endColumn == startColumn && endRow == startRow;
    if (sameNode || !BandLengthAccepted() || !IsInUseNode(endColumn, endRow)) return;
    Node& end = NodeAt(endColumn, endRow);
    if (end.kind == NODE_EMPTY) end.kind = NODE_JOINT;
    if (BeamJoins(startColumn, startRow, endColumn, endRow)) return;
    AddBeam(startColumn, startRow, endColumn, endRow);
    startColumn = endColumn;
    startRow = endRow;
}

static void HandleButton2Click() {
    if (placingBeam == 1) {
        placingBeam = 0;
        return;
    }
    if (!IsInUseNode(cursorColumn, cursorRow)) return;
    Node& node = NodeAt(cursorColumn, cursorRow);
    if (node.kind == NODE_JOINT) node.kind = NODE_EMPTY;
    RemoveBeamsAtNode(cursorColumn, cursorRow);
}

// Three pixels thick: the segment shifted by x -1, 0, +1, then by y -1, +1.
static void DrawRubberBand() {
    const uint32_t colour = BandLengthAccepted() ? MakeColour(255, 255, 255) : MakeColour(255, 85, 170);
    const int32_t x1 = ScreenXOfColumn(startColumn);
    const int32_t y1 = ScreenYOfRow(startRow);
    const int32_t x2 = ScreenXOfColumn(endColumn);
    const int32_t y2 = ScreenYOfRow(endRow);
    for (const int32_t d : {-1, 0, 1}) DrawSegmentBetween(x1 + d, y1, x2 + d, y2, colour);
    for (const int32_t d : {-1, 1}) DrawSegmentBetween(x1, y1 + d, x2, y2 + d, colour);
}

void EditorStep() {
    SetDrawFlags(DRAW_OUTLINE);
    cursorColumn = NearestGridIndex(PointerWorldX());
    cursorRow = NearestGridIndex(PointerWorldY());
    DrawCircle(ScreenXOfColumn(cursorColumn), ScreenYOfRow(cursorRow), CURSOR_RADIUS,
               MakeColour(210, 210, 210));

    const double dc = static_cast<double>(startColumn) - endColumn;
    const double dr = static_cast<double>(startRow) - endRow;
    bandLength = static_cast<int32_t>(std::nearbyint(std::sqrt(dc * dc + dr * dr)));

    TrackFrame();
    if (button1Gesture == GESTURE_CLICK) HandleButton1Click();
    if (button2Gesture == GESTURE_CLICK) HandleButton2Click();
    if (placingBeam == 1) {
        // The click handling above used the end the player saw drawn last frame.
        endColumn = cursorColumn;
        endRow = cursorRow;
    }

    SetDrawFlags(DRAW_TRANSPARENT_TEXT);
    if (placingBeam == 1) DrawRubberBand();
    DrawFrameOutline();
}
