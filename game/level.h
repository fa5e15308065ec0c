// Loading the level bitmap: the in-use grid, the anchors and the scaled background.
#pragma once

#include <cstdint>
#include <string>

// Loads game.levelFileOverride, or else "Level<N>.bmp" found by FindLevelFile.
// Nonzero on success. On failure the grid is left untouched and game.levelError
// says why, in one line naming the file.
int32_t LoadLevel();

// The first of: the current folder, beside the executable, the installed data
// folder, that holds the file; the bare name when none does.
std::string FindLevelFile(const std::string& bareName);
