// The scene: level background, grid, nodes and beams in their force colours.
#pragma once

#include <cstdint>

void DrawLevelBackground();
// Begins drawing on the back buffer; the HUD ends it.
void DrawGridLines();
void DrawNodes();
void DrawBeams();

// Green when unloaded, towards red under compression (> 1), towards blue under tension (< 1).
uint32_t BeamForceColour(float loadFactor);
