// Placing beams chain by chain with button 1, removing them with button 2.
#pragma once

#include <cstdint>

inline constexpr int32_t BEAM_MIN_LENGTH = 2;
inline constexpr int32_t BEAM_MAX_LENGTH = 9;
inline constexpr int32_t CURSOR_RADIUS = 6;

// Snaps the pointer to its nearest node and circles it; measures the rubber band
// from the chain's start to last frame's end.
void TrackCursor();
// This frame's clicks of both buttons; then the band's end follows the cursor.
void PlaceAndRemoveBeams();
// The beam a click would place, white when allowed, pink when not.
void DrawRubberBand();

// Removes every beam with an end on (column, row); changes no node.
void RemoveBeamsAtNode(int32_t column, int32_t row);
