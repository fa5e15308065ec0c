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

// Where a level is looked for, in order.
static std::vector<std::filesystem::path> LevelSearchPath(const std::string& bareName) {
    std::error_code error;
    std::vector<std::filesystem::path> places = {std::filesystem::current_path(error) / bareName};
    if (error) places = {bareName};
    const std::filesystem::path folder = ExecutableFolder();
    if (!folder.empty()) {
        places.push_back(folder / bareName);
        // The installed data folder as seen from the installed program's folder
        // (../share/karnolt, or ../share/games/karnolt in Debian's games layout).
        places.push_back((folder / KARNOLT_DATA_FROM_BIN / bareName).lexically_normal());
    }
    return places;
}

std::string FindLevelFile(const std::string& bareName, std::string& notFound) {
    // Without a folder to look in (the browser's page), or before any.
    if (IsBuiltInFile(bareName.c_str())) return bareName;
    const std::vector<std::filesystem::path> places = LevelSearchPath(bareName);
    for (const std::filesystem::path& place : places) {
        // Whatever stands there is the level: the loader refuses what is no regular file.
        std::error_code error;
        if (std::filesystem::symlink_status(place, error).type() != std::filesystem::file_type::not_found &&
            !error) {
            return place.string();
        }
    }
    notFound = bareName + ": not found in";
    for (std::size_t k = 0; k < places.size(); ++k) {
        notFound += (k == 0 ? " " : ", ") + places[k].parent_path().string();
    }
    return "";
}

int32_t LoadLevel() {
    game.levelError.clear();
    const std::string fileName = game.levelFileOverride.empty()
                                     ? FindLevelFile(LevelFileName(), game.levelError)
                                     : game.levelFileOverride;
    if (fileName.empty()) return 0;
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
    CreateWorld(width, height);

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
