// Whole scenarios through start-up and the frame loop on the headless back end.
#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

#include "platform/backend.h"
#include "tests/support/fixture.h"

using namespace fixture;

namespace {

// Building, running, breaking and stopping are pinned by the scripted sessions in
// tests/reference (stop.replay, editing.replay) and the README's bridge.

TEST(GameTest, EnterTogglesAtItsReleaseAndEscapeWinsOverIt) {
    ASSERT_TRUE(StartGame(WriteAnchorLevel({{30, 30}})));
    HeadlessSetKey(SCAN_RETURN, true);
    Frames(100);
    EXPECT_EQ(game.simulationRunning, 0);
    HoldKey(SCAN_RETURN, 0);
    EXPECT_EQ(game.simulationRunning, 1);
    HeadlessSetKey(SCAN_RETURN, true);
    Frames(1);
    const int64_t presented = HeadlessPresentedFrameCount();
    HeadlessSetKey(SCAN_RETURN, false);
    HeadlessSetKey(SCAN_ESCAPE, true);
    EXPECT_FALSE(RunFrame());
    EXPECT_EQ(game.simulationRunning, 1);
    EXPECT_EQ(HeadlessPresentedFrameCount(), presented);
}

TEST(GameTest, PressingAnEdgeScrollsTenPixelsAFrameUpToTheEndOfIntRange) {
    ASSERT_TRUE(StartGame(WriteAnchorLevel({{30, 30}})));
    MovePointerTo(1, 1);
    HeadlessQueueMotionX(-1000000);
    HeadlessQueueMotionY(-5);
    Frames(60);  // pushed into the corner once, then resting there
    EXPECT_EQ(editor.viewOffsetX, 200);
    EXPECT_EQ(editor.viewOffsetY, 200);
    MovePointerTo(1022, 766);
    HeadlessQueueMotionY(1);
    Frames(5);
    EXPECT_EQ(editor.viewOffsetX, 200);
    EXPECT_EQ(editor.viewOffsetY, 150);
    editor.viewOffsetY = INT32_MIN + 25;
    Frames(5);
    const int32_t stopped = editor.viewOffsetY;
    Frames(1);
    EXPECT_EQ(editor.viewOffsetY, stopped);
    EXPECT_LT(stopped, INT32_MIN + 25);
}

// Whites of a level picture: (5, 7), (9, 0), the last column and row; near-whites
// beside (5, 7).
Rgb Picture(int32_t x, int32_t y, int32_t width, int32_t height) {
    if ((x == 5 && y == 7) || (x == 9 && y == 0) || x == width - 1 || y == height - 1) return WHITE;
    if (x == 6 && y == 7) return Rgb{255, 255, 254};
    if (x == 4 && y == 7) return Rgb{254, 255, 255};
    return Rgb{static_cast<uint8_t>(10 * x), static_cast<uint8_t>(20 + y), 99};
}

TEST(LevelTest, AcceptedLevelsGiveTheGridAnchorsAndGreyMarks) {
    const std::tuple<int, int32_t, int32_t> levels[] = {
        {24, 13, 11}, {32, 13, 11}, {16, 7, 5}, {24, 300, 300}, {24, 1, 1}};
    for (const auto& [bits, levelWidth, levelHeight] : levels) {
        const int32_t width = levelWidth, height = levelHeight;  // a lambda below takes them
        const auto picture = [&](int32_t x, int32_t y) { return Picture(x, y, width, height); };
        ASSERT_TRUE(StartGame(WriteBmp("level.bmp", width, height, bits, picture))) << game.levelError;
        EXPECT_EQ(gridWidth, width);
        EXPECT_EQ(gridHeight, height);
        BeginDraw(SpriteTarget(game.levelNumber));
        for (int32_t x = 0; x <= width; ++x) {
            for (int32_t y = 0; y <= height; ++y) {
                // 16-bit files keep five bits a component: no white, no anchor.
                const bool white = bits != 16 && x < width && y < height && picture(x, y) == WHITE;
                ASSERT_EQ(NodeAt(x, y).kind, white ? NODE_ANCHOR : NODE_EMPTY)
                    << bits << ": " << x << "," << y;
                if (white) {
                    ASSERT_EQ(ReadPixel(x, y), MakeColour(127, 127, 127));
                }
            }
        }
        if (width > 1) {
            EXPECT_EQ(ReadPixel(1, 2), bits == 16 ? MakeColour(8, 16, 99 & 0xF8) : MakeColour(10, 22, 99));
        }
        EndDraw();
    }
}

TEST(LevelTest, ABuiltInLevelIsFoundBeforeAnyFolder) {
    // Kept for the program's run, as a built-in file's bytes are.
    static const std::vector<uint8_t> builtIn = EncodeBmp(
        40, 30, 24, [](int32_t x, int32_t y) { return x == 3 && y == 4 ? 0xFFFFFFu : 0u; }, 0);
    // A file of the same name in the current folder loses to it.
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(TempFolder());
    WriteBmp("Level9.bmp", 50, 20, 24, [](int32_t, int32_t) { return WHITE; });
    ResetPlatform();
    ResetGame();
    game.levelNumber = 9;
    AddBuiltInFile("Level9.bmp", builtIn.data(), builtIn.size());
    const bool started = StartUp() == 0;
    std::filesystem::current_path(before);
    ASSERT_TRUE(started) << game.levelError;
    EXPECT_EQ(gridWidth, 40);
    EXPECT_EQ(gridHeight, 30);
    EXPECT_EQ(NodeAt(3, 4).kind, NODE_ANCHOR);
}

TEST(LevelTest, RefusedLevelsStopTheStartWithAReasonNamingTheFile) {
    const std::filesystem::path corpus = KARNOLT_SOURCE_DIR "/fuzz/corpus";
    std::vector<std::filesystem::path> refused = {
        WriteBmp("wide.bmp", 301, 4, 24, [](int32_t, int32_t) { return WHITE; }),
        WriteBmp("tall.bmp", 4, 400, 24, [](int32_t, int32_t) { return WHITE; }),
        TempFolder() / "missing.bmp"};
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (entry.path().filename().string().starts_with("bad_")) refused.push_back(entry.path());
    }
    // Files are refused by size before they are read: 64 MiB is far beyond any level.
    const std::filesystem::path atLimit = TempFolder() / "at-limit.bmp",
                                overLimit = TempFolder() / "over-limit.bmp";
    std::ofstream(atLimit).close();
    std::ofstream(overLimit).close();
    std::filesystem::resize_file(atLimit, std::uintmax_t{64} << 20);
    std::filesystem::resize_file(overLimit, (std::uintmax_t{64} << 20) + 1);
    refused.insert(refused.end(), {atLimit, overLimit});
    for (const std::filesystem::path& path : refused) {
        const std::string name = path.filename().string();
        EXPECT_FALSE(StartGame(path)) << name;
        EXPECT_NE(game.levelError.find(name), std::string::npos) << game.levelError;
        EXPECT_EQ(game.levelError.find('\n'), std::string::npos) << game.levelError;
        EXPECT_EQ(game.levelError.find("larger than 64 MiB") != std::string::npos, path == overLimit)
            << game.levelError;
        // The box comes up once the full-screen window is gone, which could hide it.
        EXPECT_EQ(HeadlessLastError().text, game.levelError);
        EXPECT_FALSE(HeadlessLastError().windowOpen) << name;
    }
}

}  // namespace
