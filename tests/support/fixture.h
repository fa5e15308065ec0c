// The one fixture of the game's tests: levels written to a temporary folder, the
// whole game started on the headless back end, scripted mouse and keyboard, and
// pixels of the presented frame.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "game/game.h"
#include "model/coordinates.h"
#include "model/game_state.h"
#include "model/world.h"
#include "platform/display.h"
#include "platform/headless.h"
#include "platform/input.h"
#include "tools/bmp_file.h"

namespace fixture {

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};
inline constexpr Rgb BLACK{0, 0, 0};
inline constexpr Rgb WHITE{255, 255, 255};

inline Rgb ColourOf(uint32_t c) {
    return Rgb{static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16)};
}

using Ends = std::vector<std::vector<int32_t>>;

// A folder per test and process (CTest runs cases side by side), removed when the
// test program ends.
inline std::filesystem::path TempFolder() {
    static const struct Root {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("karnolt-tests-" + std::to_string(::getpid()));
        ~Root() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } root;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::filesystem::path folder =
        root.path / (std::string(test->test_suite_name()) + "." + test->name());
    std::filesystem::create_directories(folder);
    return folder;
}

// An uncompressed bitmap of the given depth; 32-bit pixels carry a fourth byte the
// reader must ignore.
inline std::filesystem::path WriteBmp(const std::string& name, int32_t width, int32_t height,
                                      int bitsPerPixel,
                                      const std::function<Rgb(int32_t x, int32_t y)>& pixel) {
    const std::filesystem::path path = TempFolder() / name;
    const auto colourAt = [&pixel](int32_t x, int32_t y) {
        const Rgb c = pixel(x, y);
        return static_cast<uint32_t>(c.r | c.g << 8 | c.b << 16);
    };
    const std::vector<uint8_t> bytes =
        EncodeBmp(width, height, bitsPerPixel, colourAt, bitsPerPixel == 32 ? 0x5A : 0);
    EXPECT_EQ(WriteBinaryFile(path.string(), bytes), "");
    return path;
}

// A 100 x 70 black level with anchors at the given pixels.
inline std::filesystem::path WriteAnchorLevel(const std::vector<std::pair<int32_t, int32_t>>& anchors) {
    return WriteBmp("anchors.bmp", 100, 70, 24, [&](int32_t x, int32_t y) {
        for (const auto& [ax, ay] : anchors) {
            if (ax == x && ay == y) return WHITE;
        }
        return BLACK;
    });
}

// Starts the program afresh on the given level; true when it runs.
inline bool StartGame(const std::filesystem::path& level) {
    ResetPlatform();
    ResetGame();
    game.levelFileOverride = level.string();
    return StartUp() == 0;
}

inline void Frames(int64_t count) {
    for (int64_t k = 0; k < count; ++k) ASSERT_TRUE(RunFrame());
}

// Moves the pointer to a screen point in one frame (it must not touch an edge).
inline void MovePointerTo(int32_t x, int32_t y) {
    if (x != editor.pointerX) HeadlessQueueMotionX(x - editor.pointerX);
    if (y != editor.pointerY) HeadlessQueueMotionY(y - editor.pointerY);
    Frames(1);
}

// Press for two frames, release, then wait out the double-click window.
inline void Click(int32_t button) {
    HeadlessQueueButton(button, true);
    Frames(2);
    HeadlessQueueButton(button, false);
    Frames(11);
}

inline void ClickNode(int32_t button, int32_t column, int32_t row) {
    MovePointerTo(ScreenXOfColumn(column), ScreenYOfRow(row));
    Click(button);
}

// Drags a selection frame with button 2 between two screen points.
inline void DragFrame(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    MovePointerTo(x1, y1);
    HeadlessQueueButton(2, true);
    Frames(1);
    MovePointerTo(x2, y2);
    Frames(2);
    HeadlessQueueButton(2, false);
    Frames(1);
}

// Holds a key for some frames, then lets it go for one.
inline void HoldKey(int32_t scanCode, int32_t frames) {
    HeadlessSetKey(scanCode, true);
    Frames(frames);
    HeadlessSetKey(scanCode, false);
    Frames(1);
}

inline Rgb PixelAt(int32_t x, int32_t y) {
    const uint32_t* pixels = HeadlessPresentedPixels();
    if (pixels == nullptr) return BLACK;
    return ColourOf(pixels[static_cast<std::size_t>(y) * HeadlessScreenWidth() + x]);
}

inline Ends BeamEnds() {
    Ends ends;
    for (const Beam& beam : beamList) ends.push_back({beam.ax, beam.ay, beam.bx, beam.by});
    return ends;
}

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "(" << int{c.r} << ", " << int{c.g} << ", " << int{c.b} << ")";
}

}  // namespace fixture
