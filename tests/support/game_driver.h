// Drives the whole game frame by frame on the headless back end: levels written
// to a temporary folder, scripted mouse and keyboard, pixels of presented frames.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "game/game.h"
#include "game/level.h"
#include "model/game_state.h"
#include "model/world.h"
#include "platform/display.h"
#include "platform/headless.h"
#include "platform/input.h"
#include "tools/bmp_file.h"

namespace driver {

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb BLACK{0, 0, 0};
inline constexpr Rgb WHITE{255, 255, 255};

// Writes an uncompressed bitmap of the given depth.
inline void WriteBmp(const std::filesystem::path& path, int32_t width, int32_t height, int bitsPerPixel,
                     const std::function<Rgb(int32_t x, int32_t y)>& pixel) {
    const std::vector<uint8_t> bytes = EncodeBmp(
        width, height, bitsPerPixel,
        [&pixel](int32_t x, int32_t y) {
            const Rgb c = pixel(x, y);
            return static_cast<uint32_t>(c.r | c.g << 8 | c.b << 16);
        },
        bitsPerPixel == 32 ? 0x5A : 0);  // a fourth byte the reader must ignore
    ASSERT_EQ(WriteBinaryFile(path.string(), bytes), "");
}

// One folder per test process: CTest runs the cases of a suite side by side.
inline std::filesystem::path TempFolder() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("karnolt-tests-" + std::string(test->test_suite_name()) +
                                                  "-" + test->name() + "-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    // Removed when the test program ends.
    static struct Cleanup {
        std::vector<std::filesystem::path> folders;
        ~Cleanup() {
            std::error_code ignored;
            for (const auto& f : folders) std::filesystem::remove_all(f, ignored);
        }
    } cleanup;
    if (std::find(cleanup.folders.begin(), cleanup.folders.end(), folder) == cleanup.folders.end()) {
        cleanup.folders.push_back(folder);
    }
    return folder;
}

// A 100 x 70 black level with anchors at the given pixels.
inline std::filesystem::path WriteAnchorLevel(const std::vector<std::pair<int32_t, int32_t>>& anchors,
                                              int32_t width = 100, int32_t height = 70) {
    const std::filesystem::path path = TempFolder() / "anchors.bmp";
    WriteBmp(path, width, height, 24, [&](int32_t x, int32_t y) {
        for (const auto& [ax, ay] : anchors) {
            if (ax == x && ay == y) return WHITE;
        }
        return BLACK;
    });
    return path;
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

inline int32_t NodeScreenX(int32_t column) {
    return column * 20 + editor.viewOffsetX;
}
inline int32_t NodeScreenY(int32_t row) {
    return row * 20 + editor.viewOffsetY;
}

inline void PointAtNode(int32_t column, int32_t row) {
    MovePointerTo(NodeScreenX(column), NodeScreenY(row));
}

// Press for two frames, release, then wait out the double-click window.
inline void Click(int32_t button) {
    HeadlessQueueButton(button, true);
    Frames(2);
    HeadlessQueueButton(button, false);
    Frames(1);
    Frames(10);
}

inline void ClickNode(int32_t button, int32_t column, int32_t row) {
    PointAtNode(column, row);
    Click(button);
}

inline void TapKey(int32_t scanCode) {
    HeadlessSetKey(scanCode, true);
    Frames(1);
    HeadlessSetKey(scanCode, false);
    Frames(1);
}

inline Rgb PixelAt(int32_t x, int32_t y) {
    const uint32_t* pixels = HeadlessPresentedPixels();
    if (pixels == nullptr) return BLACK;
    const uint32_t c = pixels[static_cast<std::size_t>(y) * HeadlessScreenWidth() + x];
    return Rgb{static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16)};
}

inline std::vector<std::vector<int32_t>> BeamEnds() {
    std::vector<std::vector<int32_t>> ends;
    for (const Beam& beam : beamList) ends.push_back({beam.ax, beam.ay, beam.bx, beam.by});
    return ends;
}

}  // namespace driver

inline std::ostream& operator<<(std::ostream& out, const driver::Rgb& c) {
    return out << "(" << int{c.r} << ", " << int{c.g} << ", " << int{c.b} << ")";
}
