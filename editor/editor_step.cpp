#include "editor/editor_step.h"

#include "editor/beams.h"
#include "editor/selection_frame.h"
#include "platform/display.h"

void EditorStep() {
    TrackCursor();
    TrackFrame();
    PlaceAndRemoveBeams();
    SetDrawFlags(DRAW_TRANSPARENT_TEXT);
    DrawRubberBand();
    DrawFrameOutline();
}
