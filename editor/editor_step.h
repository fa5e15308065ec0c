// The editor's part of a frame, after the scene is drawn.
#pragma once

// Cursor circle, selection frame, clicks of both buttons, rubber band and frame
// outline, once per frame.
void EditorStep();
