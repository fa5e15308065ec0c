// Loading the level bitmap: the in-use grid, the anchors and the scaled background.
#pragma once

#include <cstdint>
#include <string>

// Where the level comes from: empty means "Level<N>.bmp" looked up in the current
// directory, beside the executable, then in the installed data folder.
extern std::string levelFileOverride;

// Nonzero on success. On failure the grid is left untouched and LevelError() says
// why, in one line naming the file.
int32_t LoadLevel();
const std::string& LevelError();

std::string LevelFileName();
std::string FindLevelFile(const std::string& bareName);
