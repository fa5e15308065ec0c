// Loading the level bitmap: the in-use grid, the anchors and the scaled background.
#pragma once

#include <cstdint>
#include <string>

// Loads game.levelFileOverride, or else "Level<N>.bmp" found by FindLevelFile.
// Nonzero on success. On failure the grid is left untouched and game.levelError
// says why, in one line naming the file.
int32_t LoadLevel();

// The first place where something of that name exists: the current folder, beside the
// executable, the installed data folder. Or "" with `notFound` naming every place searched.
std::string FindLevelFile(const std::string& bareName, std::string& notFound);
