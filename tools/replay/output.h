// What a replay writes: the last presented frame as a BMP and the game state as JSON.
#pragma once

#include <cstdint>
#include <string>

// Both return "" on success, else a one-line reason naming the file.
std::string WriteScreenshot(const std::string& path);
std::string WriteStateJson(const std::string& path, int64_t framesRun);
