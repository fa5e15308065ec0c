// The heads-up display: pointer arrow, status lines, legend and help.
#pragma once

// Draws on the drawing the frame has open; shows this frame's rate.
void DrawHud();
void DrawPointerArrow();
