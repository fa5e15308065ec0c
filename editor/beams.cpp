#include "editor/beams.h"

#include <algorithm>
#include <cmath>

#include "editor/pointer.h"
#include "model/coordinates.h"
#include "model/game_state.h"
#include "model/world.h"
#include "platform/display.h"
#include "platform/input.h"

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
    return editor.bandLength >= BEAM_MIN_LENGTH && editor.bandLength <= BEAM_MAX_LENGTH;
}

void TrackCursor() {
    SetDrawFlags(DRAW_OUTLINE);
    editor.cursorColumn = NearestGridIndex(PointerWorldX());
    editor.cursorRow = NearestGridIndex(PointerWorldY());
    DrawCircle(ScreenXOfColumn(editor.cursorColumn), ScreenYOfRow(editor.cursorRow), CURSOR_RADIUS,
               MakeColour(210, 210, 210));

    const double dc = static_cast<double>(editor.startColumn) - editor.endColumn;
    const double dr = static_cast<double>(editor.startRow) - editor.endRow;
    editor.bandLength = RoundHalfEven(std::sqrt(dc * dc + dr * dr));
}

static void HandleButton1Click() {
    if (editor.placingBeam == 0) {
        // The view scrolls without limit: a node outside the level cannot start a chain.
        if (IsInUseNode(editor.cursorColumn, editor.cursorRow) &&
            NodeAt(editor.cursorColumn, editor.cursorRow).kind > NODE_EMPTY) {
            editor.startColumn = editor.cursorColumn;
            editor.startRow = editor.cursorRow;
            editor.placingBeam = 1;
        }
        return;
    }
    const bool sameNode = editor.endColumn == editor.startColumn && editor.endRow == editor.startRow;
    if (sameNode || !BandLengthAccepted() || !IsInUseNode(editor.endColumn, editor.endRow)) return;
    Node& end = NodeAt(editor.endColumn, editor.endRow);
    if (end.kind == NODE_EMPTY) end.kind = NODE_JOINT;
    if (BeamJoins(editor.startColumn, editor.startRow, editor.endColumn, editor.endRow)) return;
    AddBeam(editor.startColumn, editor.startRow, editor.endColumn, editor.endRow);
    editor.startColumn = editor.endColumn;
    editor.startRow = editor.endRow;
}

static void HandleButton2Click() {
    if (editor.placingBeam == 1) {
        editor.placingBeam = 0;
        return;
    }
    if (!IsInUseNode(editor.cursorColumn, editor.cursorRow)) return;
    Node& node = NodeAt(editor.cursorColumn, editor.cursorRow);
    if (node.kind == NODE_JOINT) node.kind = NODE_EMPTY;
    RemoveBeamsAtNode(editor.cursorColumn, editor.cursorRow);
}

void PlaceAndRemoveBeams() {
    if (editor.button1Gesture == GESTURE_CLICK) HandleButton1Click();
    if (editor.button2Gesture == GESTURE_CLICK) HandleButton2Click();
    if (editor.placingBeam == 1) {
        // The click handling above used the end the player saw drawn last frame.
        editor.endColumn = editor.cursorColumn;
        editor.endRow = editor.cursorRow;
    }
}

void DrawRubberBand() {
    if (editor.placingBeam != 1) return;
    const uint32_t colour = BandLengthAccepted() ? MakeColour(255, 255, 255) : MakeColour(255, 85, 170);
    DrawStroke(StrokeSegments(ScreenXOfColumn(editor.startColumn), ScreenYOfRow(editor.startRow),
                              ScreenXOfColumn(editor.endColumn), ScreenYOfRow(editor.endRow)),
               colour);
}
