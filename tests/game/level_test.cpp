// Level loading: sizes, anchors from exact white, the grey marks, and refused files.
#include "game/level.h"

#include <gtest/gtest.h>

#include "tests/support/game_driver.h"

using namespace driver;

namespace {

// A picture with white at (5, 7) and (9, 0), near-whites beside them, white in the
// last column and row, and colour elsewhere.
Rgb Picture(int32_t x, int32_t y, int32_t width, int32_t height) {
    if ((x == 5 && y == 7) || (x == 9 && y == 0) || x == width - 1 || y == height - 1) return WHITE;
    if (x == 6 && y == 7) return Rgb{255, 255, 254};
    if (x == 4 && y == 7) return Rgb{254, 255, 255};
    return Rgb{static_cast<uint8_t>(10 * x), static_cast<uint8_t>(20 + y), 99};
}

std::vector<std::pair<int32_t, int32_t>> Anchors() {
    std::vector<std::pair<int32_t, int32_t>> anchors;
    for (int32_t i = 0; i <= GRID_CAPACITY; ++i) {
        for (int32_t j = 0; j <= GRID_CAPACITY; ++j) {
            if (nodeGrid.nodes[i][j].kind == NODE_ANCHOR) anchors.emplace_back(i, j);
        }
    }
    return anchors;
}

TEST(LevelTest, WhitePixelsBecomeAnchorsIn24And32BitFilesAlike) {
    for (const int bits : {24, 32}) {
        // Odd width: rows carry padding in the 24-bit file.
        const int32_t width = 13, height = 11;
        const std::filesystem::path path = TempFolder() / ("picture" + std::to_string(bits) + ".bmp");
        WriteBmp(path, width, height, bits,
                 [&](int32_t x, int32_t y) { return Picture(x, y, width, height); });
        ASSERT_TRUE(StartGame(path)) << game.levelError;
        EXPECT_EQ(gridWidth, 13);
        EXPECT_EQ(gridHeight, 11);
        std::vector<std::pair<int32_t, int32_t>> expected;
        for (int32_t i = 0; i < width; ++i) {
            for (int32_t j = 0; j < height; ++j) {
                if (Picture(i, j, width, height) == WHITE) expected.emplace_back(i, j);
            }
        }
        EXPECT_EQ(Anchors(), expected) << bits;
        EXPECT_EQ(NodeAt(5, 7).x, 100.0f);
        EXPECT_EQ(NodeAt(5, 7).y, 140.0f);
        // The sprite now shows every former white pixel grey; all others as in the file.
        BeginDraw(SpriteTarget(game.levelNumber));
        for (int32_t x = 0; x < width; ++x) {
            for (int32_t y = 0; y < height; ++y) {
                const Rgb c = Picture(x, y, width, height);
                const uint32_t expectedColour =
                    c == WHITE ? MakeColour(127, 127, 127) : MakeColour(c.r, c.g, c.b);
                ASSERT_EQ(ReadPixel(x, y), expectedColour) << x << "," << y;
            }
        }
        EndDraw();
    }
}

TEST(LevelTest, SixteenBitLevelsLoadWithoutAnchors) {
    const std::filesystem::path path = TempFolder() / "picture16.bmp";
    WriteBmp(path, 7, 5, 16, [](int32_t x, int32_t y) { return x == 2 && y == 3 ? WHITE : Rgb{80, 40, 16}; });
    ASSERT_TRUE(StartGame(path)) << game.levelError;
    EXPECT_EQ(gridWidth, 7);
    EXPECT_TRUE(Anchors().empty());
    BeginDraw(SpriteTarget(game.levelNumber));
    EXPECT_EQ(ReadPixel(2, 3), MakeColour(248, 248, 248));
    EXPECT_EQ(ReadPixel(0, 0), MakeColour(80, 40, 16));
    EndDraw();
}

TEST(LevelTest, AFullSizeLevelUsesTheWholeGrid) {
    const std::filesystem::path path = TempFolder() / "full.bmp";
    WriteBmp(path, 300, 300, 24, [](int32_t x, int32_t y) {
        return x == 299 && y == 299 ? WHITE : Rgb{1, 2, 3};
    });
    ASSERT_TRUE(StartGame(path)) << game.levelError;
    EXPECT_EQ(gridWidth, 300);
    EXPECT_EQ(gridHeight, 300);
    EXPECT_EQ(Anchors(), (std::vector<std::pair<int32_t, int32_t>>{{299, 299}}));
    Frames(2);
}

TEST(LevelTest, RefusedLevelsStopTheStartWithAReasonNamingTheFile) {
    const std::filesystem::path folder = TempFolder();
    WriteBmp(folder / "wide.bmp", 301, 4, 24, [](int32_t, int32_t) { return WHITE; });
    WriteBmp(folder / "tall.bmp", 4, 400, 24, [](int32_t, int32_t) { return WHITE; });
    std::ofstream(folder / "text.bmp") << "not a bitmap at all";
    const std::string cases[] = {"missing.bmp", "wide.bmp", "tall.bmp", "text.bmp"};
    for (const std::string& name : cases) {
        EXPECT_FALSE(StartGame(folder / name)) << name;
        EXPECT_NE(game.levelError.find(name), std::string::npos) << game.levelError;
        EXPECT_EQ(game.levelError.find('\n'), std::string::npos) << game.levelError;
        EXPECT_EQ(gridWidth, GRID_CAPACITY) << "the grid keeps its size";
        EXPECT_TRUE(Anchors().empty());
    }
}

TEST(LevelTest, TheBareNameIsFoundInTheWorkingFolder) {
    const std::filesystem::path folder = TempFolder() / "cwd";
    std::filesystem::create_directories(folder);
    WriteBmp(folder / "Level1.bmp", 3, 2, 24, [](int32_t, int32_t) { return WHITE; });
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    EXPECT_EQ(FindLevelFile("Level1.bmp"), "Level1.bmp");
    ResetPlatform();
    ResetGame();
    EXPECT_EQ(StartUp(), 0) << game.levelError;
    EXPECT_EQ(gridWidth, 3);
    std::filesystem::current_path(previous);
}

}  // namespace
