#include "game/level.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "model/game_state.h"
#include "model/world.h"
#include "platform/display.h"

static std::string LevelFileName() {
    return "Level" + std::to_string(game.levelNumber) + ".bmp";
}

static std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : self.parent_path();
}

std::string FindLevelFile(const std::string& bareName) {
    std::vector<std::filesystem::path> candidates = {bareName};
    const std::filesystem::path folder = ExecutableFolder();
    if (!folder.empty()) {
        candidates.push_back(folder / bareName);
        // The installed data folder as seen from the installed program's folder
        // (../share/karnolt, or ../share/games/karnolt in Debian's games layout).
        candidates.push_back(folder / KARNOLT_DATA_FROM_BIN / bareName);
    }
    for (const std::filesystem::path& candidate : candidates) {
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error)) return candidate.string();
    }
    return bareName;  // not found anywhere: the loader names it in its message
}

int32_t LoadLevel() {
    const std::string fileName =
        game.levelFileOverride.empty() ? FindLevelFile(LevelFileName()) : game.levelFileOverride;
    game.levelError.clear();
    if (LoadSpriteImage(game.levelNumber, fileName.c_str(), SPRITE_MODE_TEXTURE) == 0) {
        game.levelError = LastSpriteError().empty() ? fileName + ": cannot be loaded" : LastSpriteError();
        return 0;
    }
    const int32_t width = GetSpriteWidth(game.levelNumber);
    const int32_t height = GetSpriteHeight(game.levelNumber);
    // The node grid holds at most GRID_CAPACITY cells in each direction.
    if (width < 1 || height < 1 || width > GRID_CAPACITY || height > GRID_CAPACITY) {
        game.levelError = fileName + ": " + std::to_string(width) + " x " + std::to_string(height) +
                          " pixels does not fit the level grid of at most " + std::to_string(GRID_CAPACITY) +
                          " x " + std::to_string(GRID_CAPACITY);
        return 0;
    }
    gridWidth = width;
    gridHeight = height;

    BeginDraw(SpriteTarget(game.levelNumber));
    // Reads one pixel past the right and bottom edge: ReadPixel answers there with
    // a value that is no colour, so the last column and row never become anchors.
    for (int32_t i = 0; i <= gridWidth; ++i) {
        for (int32_t j = 0; j <= gridHeight; ++j) {
            if (ReadPixel(i, j) != MakeColour(255, 255, 255)) continue;
            NodeAt(i, j).kind = NODE_ANCHOR;
            DrawSegment(i, j, 1, 0, MakeColour(127, 127, 127));
        }
    }
    EndDraw();
    MakeScaledSprite(game.levelNumber, game.levelNumber);
    return 1;
}
